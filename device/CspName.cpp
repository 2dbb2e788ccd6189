#include "CspName.h"

#include "platform/core/Cp936Codec.h"

namespace talvo {

QString cspNameText(const char* name)
{
    return name ? fromCp936(name, kCspNameMaxBytes) : QString();
}

} // namespace talvo
