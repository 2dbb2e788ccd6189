#include "TokenKeyStore.h"

#include "StateCodec.h"

#include "simulator/token/TokenKeyPairs.h"

#include <openssl/x509.h>

#include <limits>

namespace talvo::sim {

namespace {

// As the state file and the certificate file of a file-backed key.
constexpr std::size_t kMaxRecordSize = 64 * 1024;
constexpr std::size_t kMaxCertificateSize = 64 * 1024;

bool refuse(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

std::string lastGenerationText(std::string_view name)
{
    return "the token's object \"" + talvoLabel(name, std::numeric_limits<std::uint64_t>::max()) +
           "\" has the last generation a number can hold, so no change can follow it; nothing was "
           "changed (remove that object with the token's own tools, then run talvo-sim reset)";
}

} // namespace

std::string pictureObjectName(int32_t sealNumber)
{
    return "seal-" + std::to_string(sealNumber);
}

TokenKeyStore::TokenKeyStore(std::filesystem::path directory) : m_directory(std::move(directory)) {}

TokenKeyStore::TokenKeyStore(std::filesystem::path directory, TokenObjects& objects)
    : m_directory(std::move(directory)), m_session(&objects.session()), m_objects(&objects)
{
}

TokenKeyStore::~TokenKeyStore() = default;

TokenKeyStore::Connection TokenKeyStore::connect(std::string* error) const
{
    if (m_objects)
        return Connection::Connected;
    TokenReference reference;
    if (readTokenReference(m_directory, reference, error) != ReferenceRead::Read)
        return Connection::Failed;
    switch (TokenSession::open(reference, m_ownSession, error)) {
    case TokenSession::Result::NoToken:
        m_connectStatus = 1;
        return Connection::NoToken;
    case TokenSession::Result::Failed:
        return Connection::Failed;
    case TokenSession::Result::Opened:
        break;
    }
    auto objects = std::make_unique<TokenObjects>(*m_ownSession);
    if (!objects->list()) {
        m_connectStatus = m_ownSession->failureStatus();
        if (error)
            *error = m_ownSession->lastFailure();
        return m_connectStatus == 1 ? Connection::NoToken : Connection::Failed;
    }
    m_ownObjects = std::move(objects);
    m_session = m_ownSession.get();
    m_objects = m_ownObjects.get();
    return Connection::Connected;
}

bool TokenKeyStore::failed(std::string* error) const
{
    return refuse(error, m_session ? m_session->lastFailure() : std::string("no token"));
}

int32_t TokenKeyStore::failureStatus() const
{
    return m_session && m_objects ? m_session->failureStatus() : m_connectStatus;
}

KeyBackend::LoadResult TokenKeyStore::load(KeyState& state, std::string* error) const
{
    const auto damaged = [&](const std::string& reason) {
        refuse(error, "damaged key on the token of " + m_directory.string() + ": " + reason);
        return LoadResult::Damaged;
    };
    std::string reason;
    switch (connect(&reason)) {
    case Connection::NoToken:
        refuse(error, reason);
        return LoadResult::NoKey;
    case Connection::Failed:
        refuse(error, reason);
        return LoadResult::Damaged;
    case Connection::Connected:
        break;
    }
    // The newest record that is whole; one cut by a crash while it was written is passed over.
    bool found = false;
    for (const TokenObject& record : m_objects->named(CKO_DATA, kRecordName)) {
        std::string value;
        std::string text;
        if (!m_objects->readAttribute(record.handle, CKA_VALUE, kPayloadHeaderSize + kMaxRecordSize, value)) {
            if (m_session->failureStatus() == 1) {
                refuse(error, m_session->lastFailure());
                return LoadResult::NoKey;
            }
            continue;
        }
        if (unwrapPayload(value, text) && decodeState(text, state, &reason)) {
            found = true;
            break;
        }
    }
    if (!found)
        return damaged("it holds no whole record (run talvo-sim reset to write one)");
    if (!newestContainer(*m_objects))
        return damaged("it holds no whole key container (run talvo-sim create to make one)");
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        const SealRecord& seal = state.seal(number);
        if (!seal.inUse)
            continue;
        const std::vector<TokenObject> pictures = m_objects->named(CKO_DATA, pictureObjectName(number));
        const std::string which = "the picture of seal " + std::to_string(number);
        if (pictures.empty())
            return damaged(which + " is missing");
        bool sized = false;
        for (const TokenObject& picture : pictures) {
            std::uint64_t size = 0;
            if (!m_objects->valueSize(picture.handle, size))
                return damaged(m_session->lastFailure());
            sized = sized || size == kPayloadHeaderSize + std::uint64_t{seal.pictureSize};
        }
        if (!sized)
            return damaged(which + " does not have the recorded size");
    }
    // The key's serial number is the token's.
    state.serial = m_session->serial().substr(0, kSerialMax);
    return LoadResult::Loaded;
}

bool TokenKeyStore::save(const KeyState& state, std::string* error) const
{
    if (connect(error) != Connection::Connected)
        return false;
    const std::optional<std::uint64_t> generation = m_objects->nextGeneration(kRecordName);
    if (!generation)
        return refuse(error, lastGenerationText(kRecordName));
    const std::string value = wrapPayload(encodeState(state));
    if (!m_objects->createData(kRecordName, *generation, value))
        return failed(error);
    // What it replaces goes only once the new record reads back whole. A failure from here on
    // leaves only objects that the next change clears.
    const std::vector<TokenObject> records = m_objects->named(CKO_DATA, kRecordName);
    std::string written;
    if (records.empty() || records.front().generation != *generation ||
        !m_objects->readAttribute(records.front().handle, CKA_VALUE, value.size(), written))
        return failed(error);
    if (written != value)
        return refuse(error, "the record written to the token did not read back whole; the older one stays");
    for (const TokenObject& record : records) {
        if (record.generation < *generation)
            m_objects->destroy(record.handle);
    }
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        const SealRecord& seal = state.seal(number);
        const std::vector<TokenObject> pictures = m_objects->named(CKO_DATA, pictureObjectName(number));
        // With one picture there is nothing to choose; with more, the newest whole one stays.
        std::optional<CK_OBJECT_HANDLE> kept;
        if (seal.inUse && pictures.size() == 1)
            kept = pictures.front().handle;
        std::string bytes;
        bool unreadable = false;
        if (seal.inUse && pictures.size() > 1)
            kept = wholePicture(pictures, seal.pictureSize, bytes, unreadable);
        // Nothing whole, or nothing that could be read: nothing of it goes.
        if (seal.inUse && !kept)
            continue;
        for (const TokenObject& picture : pictures) {
            if (picture.handle != kept)
                m_objects->destroy(picture.handle);
        }
    }
    m_objects->clearBare();
    return true;
}

std::optional<CK_OBJECT_HANDLE> TokenKeyStore::wholePicture(const std::vector<TokenObject>& pictures,
                                                            std::uint32_t size, std::string& bytes,
                                                            bool& unreadable) const
{
    unreadable = false;
    for (const TokenObject& picture : pictures) {
        std::uint64_t valueSize = 0;
        std::string value;
        if (!m_objects->valueSize(picture.handle, valueSize)) {
            unreadable = true;
            return std::nullopt;
        }
        if (valueSize != kPayloadHeaderSize + size)
            continue;
        if (!m_objects->readAttribute(picture.handle, CKA_VALUE, kPayloadHeaderSize + size, value)) {
            unreadable = true;
            return std::nullopt;
        }
        if (unwrapPayload(value, bytes) && bytes.size() == size)
            return picture.handle;
    }
    return std::nullopt;
}

bool TokenKeyStore::readPicture(const KeyState& state, int32_t sealNumber, std::string& bytes,
                                std::string* error) const
{
    if (!isSealNumber(sealNumber) || !state.seal(sealNumber).inUse)
        return refuse(error, "no seal " + std::to_string(sealNumber));
    if (connect(error) != Connection::Connected)
        return false;
    const std::vector<TokenObject> pictures = m_objects->named(CKO_DATA, pictureObjectName(sealNumber));
    const std::string which = "the picture of seal " + std::to_string(sealNumber);
    if (pictures.empty())
        return refuse(error, "damaged key on the token: " + which + " is missing");
    bool unreadable = false;
    if (wholePicture(pictures, state.seal(sealNumber).pictureSize, bytes, unreadable))
        return true;
    if (unreadable)
        return failed(error);
    return refuse(error, "damaged key on the token: " + which + " is not whole");
}

bool TokenKeyStore::writePicture(int32_t sealNumber, const std::string& bytes, std::string* error) const
{
    if (connect(error) != Connection::Connected)
        return false;
    const std::string name = pictureObjectName(sealNumber);
    const std::optional<std::uint64_t> generation = m_objects->nextGeneration(name);
    if (!generation)
        return refuse(error, lastGenerationText(name));
    return m_objects->createData(name, *generation, wrapPayload(bytes)) || failed(error);
}

void TokenKeyStore::removePicture(int32_t sealNumber) const
{
    if (connect(nullptr) != Connection::Connected)
        return;
    for (const TokenObject& picture : m_objects->named(CKO_DATA, pictureObjectName(sealNumber)))
        m_objects->destroy(picture.handle);
}

bool TokenKeyStore::readCertificate(std::string& der, std::string* error) const
{
    if (connect(error) != Connection::Connected)
        return false;
    const std::optional<std::uint64_t> generation = newestContainer(*m_objects);
    if (!generation)
        return refuse(error, "damaged key on the token: no whole key container");
    for (const TokenObject& certificate : m_objects->named(CKO_CERTIFICATE, kCertificateName)) {
        if (certificate.generation != *generation)
            continue;
        if (!m_objects->readAttribute(certificate.handle, CKA_VALUE, kMaxCertificateSize, der))
            return failed(error);
        const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
        const std::unique_ptr<X509, decltype(&X509_free)> parsed(
            d2i_X509(nullptr, &cursor, static_cast<long>(der.size())), X509_free);
        if (!parsed || cursor != reinterpret_cast<const unsigned char*>(der.data() + der.size()))
            return refuse(error, "damaged certificate on the token");
        return true;
    }
    return refuse(error, "damaged key on the token: no certificate");
}

std::unique_ptr<ContainerKey> TokenKeyStore::containerKey(KeyPair pair, std::string* error) const
{
    if (connect(error) != Connection::Connected)
        return nullptr;
    const std::optional<std::uint64_t> generation = newestContainer(*m_objects);
    std::unique_ptr<TokenContainerKey> key = generation ? tokenKey(*m_objects, pair, *generation) : nullptr;
    if (!key)
        refuse(error,
               generation ? m_session->lastFailure() : "damaged key on the token: no whole key container");
    return key;
}

} // namespace talvo::sim
