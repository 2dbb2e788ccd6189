#include "Cp936Text.h"

#include "platform/codepage/CodePage.h"

namespace talvo::sim {

bool utf8ToCp936(std::string_view utf8, std::string& cp936)
{
    std::optional<std::string> converted = codepage::utf8ToCp936Exactly(utf8);
    if (!converted)
        return false;
    cp936 = std::move(*converted);
    return true;
}

std::string cp936ToUtf8(std::string_view cp936)
{
    return codepage::cp936ToUtf8(cp936, codepage::Undecodable::Visible);
}

} // namespace talvo::sim
