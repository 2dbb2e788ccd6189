// Links every library that must stay free of Qt Widgets and Qt Gui; the linkage check reads
// what this program needs at run time.

#include "crypto/SecureMessage.h"
#include "device/KeyDriverBinding.h"
#include "platform/Cp936Codec.h"
#include "platform/StderrReporter.h"

int main(int argc, char** /*argv*/)
{
    if (argc > 1) {
        talvo::KeyDriverBinding binding;
        talvo::StderrReporter reporter("probe");
        talvo::SecureMessage operations(reporter);
        return operations.ParseSecureMessage(talvo::fromCp936("a", 1), QString()) ? 0 : 1;
    }
    return 0;
}
