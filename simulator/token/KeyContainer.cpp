#include "KeyContainer.h"

#include "TokenKeyPairs.h"

#include "simulator/common/PemContainerKey.h"
#include "simulator/common/SimDirectory.h"

namespace talvo::sim {

namespace {

// The pairs are read when first needed, so a container that lacks one still opens.
class FileContainer : public KeyContainer {
public:
    FileContainer(std::filesystem::path directory, std::string name, OSSL_LIB_CTX* library)
        : m_directory(std::move(directory)), m_name(std::move(name)), m_library(library)
    {
    }

    const std::string& name() const override { return m_name; }
    ContainerKey* key(KeyPair pair) override
    {
        std::unique_ptr<PemContainerKey>& key = pair == KeyPair::Signature ? m_signature : m_exchange;
        const ContainerFiles files = containerFiles(m_directory);
        if (!key)
            key = PemContainerKey::load(pair == KeyPair::Signature ? files.signatureKey : files.exchangeKey,
                                        nullptr, m_library);
        return key.get();
    }

private:
    std::filesystem::path m_directory;
    std::string m_name;
    OSSL_LIB_CTX* m_library;
    std::unique_ptr<PemContainerKey> m_signature;
    std::unique_ptr<PemContainerKey> m_exchange;
};

// Named after the token's serial number; the session stays open while the container does.
class TokenContainer : public KeyContainer {
public:
    explicit TokenContainer(std::unique_ptr<TokenSession> session)
        : m_session(std::move(session)), m_objects(*m_session), m_name(m_session->serial())
    {
    }

    bool open()
    {
        if (!m_objects.list())
            return false;
        const std::optional<std::uint64_t> generation = newestContainer(m_objects);
        if (!generation)
            return false;
        m_signature = tokenKey(m_objects, KeyPair::Signature, *generation);
        m_exchange = tokenKey(m_objects, KeyPair::Exchange, *generation);
        return m_signature && m_exchange;
    }
    const std::string& lastFailure() const { return m_session->lastFailure(); }

    const std::string& name() const override { return m_name; }
    ContainerKey* key(KeyPair pair) override
    {
        return pair == KeyPair::Signature ? m_signature.get() : m_exchange.get();
    }

private:
    std::unique_ptr<TokenSession> m_session;
    TokenObjects m_objects;
    std::string m_name;
    std::unique_ptr<TokenContainerKey> m_signature;
    std::unique_ptr<TokenContainerKey> m_exchange;
};

} // namespace

std::unique_ptr<KeyContainer> openKeyContainer(const std::filesystem::path& directory, OSSL_LIB_CTX* library,
                                               std::string* error)
{
    if (!isPlugged(directory)) {
        if (error)
            *error = "the key is unplugged";
        return nullptr;
    }
    TokenReference reference;
    switch (readTokenReference(directory, reference, error)) {
    case ReferenceRead::Refused:
        return nullptr;
    case ReferenceRead::Missing: {
        std::string name;
        if (!readContainerName(directory, name, error))
            return nullptr;
        return std::make_unique<FileContainer>(directory, name, library);
    }
    case ReferenceRead::Read:
        break;
    }
    std::unique_ptr<TokenSession> session;
    if (TokenSession::open(reference, session, error) != TokenSession::Result::Opened)
        return nullptr;
    auto container = std::make_unique<TokenContainer>(std::move(session));
    if (!container->open()) {
        if (error)
            *error = container->lastFailure().empty() ? "the token holds no whole Talvo key container"
                                                      : container->lastFailure();
        return nullptr;
    }
    return container;
}

} // namespace talvo::sim
