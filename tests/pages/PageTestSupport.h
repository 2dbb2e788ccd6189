#pragma once

#include "platform/widgets/Interaction.h"
#include "recording/RecordingDriver.h"
#include "support/Cp936.h"

#include <QString>

#include <ostream>

namespace talvo::testing {

// The calls that reached the recording driver since the test began, by name only.
std::vector<std::string> callNames();

} // namespace talvo::testing

namespace talvo {

// Readable failures for the recorded boxes.
void PrintTo(const MessageBoxRequest& box, std::ostream* out);

} // namespace talvo

namespace talvo::testing {
void PrintTo(const DriverCall& call, std::ostream* out);
}
