#pragma once

#include <QString>

namespace talvo {

class KeyDriverBinding;

// Renders the seal list (with the first seal's picture shown, if the key holds one), the seal
// name and expiry dialog and the seal time dialog into PNG files in the directory, without a
// display. Boxes go through whatever interaction is installed.
void renderSealDialogsForTour(KeyDriverBinding* binding, const QString& directory);

} // namespace talvo
