#include "KeyBytes.h"

#include "device/TalvoDriverApi.h"

namespace talvo {

KeyBytes readKeyBytes(const LengthCall& call)
{
    TwoCallRead read(call);
    KeyBytes result;
    result.status = read.askLength();
    if (result.status != TL_OK)
        return result;
    result.status = read.readBytes(1);
    result.bytes =
        QByteArray(reinterpret_cast<const char*>(read.bytes()), static_cast<qsizetype>(read.size()));
    return result;
}

} // namespace talvo
