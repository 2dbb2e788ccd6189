#include "KeyStore.h"

#include "StateCodec.h"
#include "simulator/common/SimDirectory.h"

#include <openssl/x509.h>

#include <memory>

namespace talvo::sim {

KeyStore::KeyStore(std::filesystem::path directory) : m_directory(std::move(directory)) {}

std::filesystem::path KeyStore::stateFile() const
{
    return m_directory / "key.state";
}

std::filesystem::path KeyStore::lockFile() const
{
    return m_directory / ".lock";
}

std::filesystem::path KeyStore::certificateFile() const
{
    return m_directory / "certificate.der";
}

std::filesystem::path KeyStore::pictureFile(int32_t sealNumber) const
{
    return m_directory / ("seal-" + std::to_string(sealNumber) + ".picture");
}

bool KeyStore::hasState() const
{
    std::error_code ec;
    return std::filesystem::is_regular_file(stateFile(), ec);
}

KeyStore::LoadResult KeyStore::load(KeyState& state, std::string* error) const
{
    std::error_code ec;
    const auto status = std::filesystem::status(stateFile(), ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return LoadResult::NoKey;
    std::string text;
    std::string reason;
    if (!readWholeFile(stateFile(), text, &reason) || !decodeState(text, state, &reason)) {
        if (error)
            *error = "damaged state in " + stateFile().string() + ": " + reason;
        return LoadResult::Damaged;
    }
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        const SealRecord& seal = state.seal(number);
        if (!seal.inUse)
            continue;
        const auto size = std::filesystem::file_size(pictureFile(number), ec);
        if (ec || size != seal.pictureSize) {
            if (error)
                *error = "damaged state in " + m_directory.string() + ": the picture of seal " +
                         std::to_string(number) + (ec ? " is missing" : " does not have the recorded size");
            return LoadResult::Damaged;
        }
    }
    return LoadResult::Loaded;
}

bool KeyStore::save(const KeyState& state, std::string* error) const
{
    return writeFileAtomically(stateFile(), encodeState(state), error);
}

bool KeyStore::readPicture(const KeyState& state, int32_t sealNumber, std::string& bytes,
                           std::string* error) const
{
    if (!isSealNumber(sealNumber) || !state.seal(sealNumber).inUse) {
        if (error)
            *error = "no seal " + std::to_string(sealNumber);
        return false;
    }
    if (!readWholeFile(pictureFile(sealNumber), bytes, error))
        return false;
    if (bytes.size() != state.seal(sealNumber).pictureSize) {
        if (error)
            *error = "damaged state in " + m_directory.string() + ": the picture of seal " +
                     std::to_string(sealNumber) + " does not have the recorded size";
        return false;
    }
    return true;
}

bool KeyStore::writePicture(int32_t sealNumber, const std::string& bytes, std::string* error) const
{
    return writeFileAtomically(pictureFile(sealNumber), bytes, error);
}

void KeyStore::removePicture(int32_t sealNumber) const
{
    std::error_code ec;
    std::filesystem::remove(pictureFile(sealNumber), ec);
}

bool KeyStore::readCertificate(std::string& der, std::string* error) const
{
    if (!readWholeFile(certificateFile(), der, error))
        return false;
    const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
    const std::unique_ptr<X509, decltype(&X509_free)> certificate(
        d2i_X509(nullptr, &cursor, static_cast<long>(der.size())), X509_free);
    if (!certificate || cursor != reinterpret_cast<const unsigned char*>(der.data() + der.size())) {
        if (error)
            *error = "damaged certificate in " + certificateFile().string();
        return false;
    }
    return true;
}

} // namespace talvo::sim
