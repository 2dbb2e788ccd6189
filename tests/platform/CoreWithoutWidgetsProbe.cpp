// Links every library that must stay free of Qt Widgets and Qt Gui; the linkage check reads
// what this program needs at run time.

#include "crypto/SecureMessage.h"
#include "device/KeyDriverBinding.h"
#include "key/DeviceInfoFields.h"
#include "key/PinChange.h"
#include "key/SealOperations.h"
#include "key/SealSlotTable.h"
#include "key/SealTexts.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/StderrReporter.h"

int main(int argc, char** /*argv*/)
{
    if (argc > 1) {
        talvo::KeyDriverBinding binding;
        talvo::SealSlotTable table;
        table.reset();
        if (talvo::sealPictureRead(binding, 101).readUnlessEmpty() == 0 ||
            talvo::midnightText(2024, 5, 6).empty() || !talvo::matchModeText("admin") ||
            talvo::changePin(binding, "1", "2", "2").outcome == talvo::PinChangeOutcome::Changed)
            return 2;
        talvo::StderrReporter reporter("probe");
        talvo::SecureMessage operations(reporter);
        return operations.ParseSecureMessage(talvo::fromCp936("a", 1), QString()) ? 0 : 1;
    }
    return 0;
}
