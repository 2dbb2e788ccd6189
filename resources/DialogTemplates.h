#pragma once

#include "ControlIds.h"
#include "platform/widgets/DialogTemplate.h"

namespace talvo {

// The template with that id; an unknown id is a programming error and aborts.
const DialogTemplate& dialogTemplate(int id);

} // namespace talvo
