#pragma once

#include "platform/widgets/Interaction.h"
#include "recording/RecordingDriver.h"
#include "support/Cp936.h"

#include <QString>

#include <ostream>

namespace talvo {

// Readable failures for the recorded boxes.
void PrintTo(const MessageBoxRequest& box, std::ostream* out);

} // namespace talvo
