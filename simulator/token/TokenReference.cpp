#include "TokenReference.h"

#include "simulator/common/SimDirectory.h"

#include <cerrno>
#include <sys/stat.h>

namespace talvo::sim {

namespace {

constexpr std::size_t kMaxReferenceSize = 8 * 1024;
constexpr std::string_view kHeader = "talvo-token 1";

bool takeLine(std::string_view& text, std::string_view& line)
{
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
        return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

bool takeField(std::string_view& text, std::string_view name, std::string& value)
{
    std::string_view line;
    if (!takeLine(text, line) || !line.starts_with(name) || line.size() <= name.size() ||
        line[name.size()] != '=')
        return false;
    value = std::string(line.substr(name.size() + 1));
    return value.find('\0') == std::string::npos;
}

} // namespace

std::filesystem::path tokenReferenceFile(const std::filesystem::path& directory)
{
    return directory / "token";
}

bool hasTokenReference(const std::filesystem::path& directory)
{
    struct stat info {};
    return ::lstat(tokenReferenceFile(directory).c_str(), &info) == 0 || errno != ENOENT;
}

ReferenceRead readTokenReference(const std::filesystem::path& directory, TokenReference& reference,
                                 std::string* error)
{
    std::string bytes;
    switch (readKeyFile(tokenReferenceFile(directory), kMaxReferenceSize, bytes, error)) {
    case FileRead::Missing:
        return ReferenceRead::Missing;
    case FileRead::Refused:
        return ReferenceRead::Refused;
    case FileRead::Read:
        break;
    }
    std::string_view text = bytes;
    std::string_view header;
    std::string uri;
    std::string pinFile;
    if (!takeLine(text, header) || header != kHeader || !takeField(text, "uri", uri) ||
        !takeField(text, "pin-file", pinFile) || text != "end\n" || !uri.starts_with("pkcs11:") ||
        (!pinFile.empty() && !std::filesystem::path(pinFile).is_absolute())) {
        if (error)
            *error = "damaged token reference in " + tokenReferenceFile(directory).string();
        return ReferenceRead::Refused;
    }
    reference = {uri, pinFile};
    return ReferenceRead::Read;
}

bool writeTokenReference(const std::filesystem::path& directory, const TokenReference& reference,
                         std::string* error)
{
    if (reference.uri.find('\n') != std::string::npos ||
        reference.pinFile.string().find('\n') != std::string::npos) {
        if (error)
            *error = "a token URI or PIN file name cannot hold a line break";
        return false;
    }
    return writeFileAtomically(tokenReferenceFile(directory),
                               std::string(kHeader) + "\nuri=" + reference.uri +
                                   "\npin-file=" + reference.pinFile.string() + "\nend\n",
                               error);
}

} // namespace talvo::sim
