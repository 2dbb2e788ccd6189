#include "TokenProvisioning.h"

#include "FileLock.h"
#include "KeyCertificate.h"
#include "KeyProvisioning.h"
#include "KeyStore.h"
#include "TokenKeyStore.h"

#include "simulator/common/ContainerKeys.h"
#include "simulator/common/SimDirectory.h"
#include "simulator/token/TokenKeyPairs.h"

#include <algorithm>
#include <optional>

namespace talvo::sim {

namespace {

constexpr std::string_view kContainerNames[] = {"signature", "exchange", "certificate"};

bool refuse(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

std::string foreignObjects(const std::vector<TokenObject>& objects)
{
    std::string labels;
    for (std::size_t i = 0; i < objects.size() && i < 3; ++i)
        labels += (labels.empty() ? "\"" : ", \"") + objects[i].label + "\"";
    return std::to_string(objects.size()) + " object(s) of another application (" + labels +
           (objects.size() > 3 ? ", ..." : "") + ")";
}

std::optional<std::uint64_t> nextContainerGeneration(const TokenObjects& objects)
{
    std::uint64_t next = 1;
    for (const std::string_view name : kContainerNames) {
        const std::optional<std::uint64_t> generation = objects.nextGeneration(name);
        if (!generation)
            return std::nullopt;
        next = std::max(next, *generation);
    }
    return next;
}

// Destroys every container object of one generation, or of every generation but one.
void destroyContainers(TokenObjects& objects, std::uint64_t generation, bool allBut)
{
    const std::vector<TokenObject> all = objects.all();
    for (const TokenObject& object : all) {
        const bool container = object.ours && object.objectClass != CKO_DATA &&
                               std::find(std::begin(kContainerNames), std::end(kContainerNames),
                                         object.name) != std::end(kContainerNames);
        if (container && (object.generation == generation) != allBut)
            objects.destroy(object.handle);
    }
}

bool newContainer(TokenObjects& objects, std::uint64_t generation, const std::string& serial)
{
    std::string der;
    std::string reason;
    if (!generatePair(objects, KeyPair::Signature, generation) ||
        !generatePair(objects, KeyPair::Exchange, generation))
        return false;
    const std::unique_ptr<TokenContainerKey> key = tokenKey(objects, KeyPair::Signature, generation);
    if (!key || !makeKeyCertificate(*key, serial, der, &reason))
        return objects.session().succeeded(CKR_FUNCTION_FAILED, "make the key's certificate: " + reason);
    return createCertificate(objects, generation, der);
}

// The file-backed key that the directory held before: no key material stays beside the token's name.
void removeFileKey(const std::filesystem::path& directory)
{
    const KeyStore store(directory);
    const ContainerFiles files = containerFiles(directory);
    std::error_code ec;
    for (const std::filesystem::path& file :
         {store.stateFile(), files.signatureKey, files.exchangeKey, files.name, store.certificateFile()})
        std::filesystem::remove(file, ec);
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number)
        store.removePicture(number);
}

} // namespace

bool provisionTokenKey(const std::filesystem::path& directory, const TokenReference& reference,
                       KeyContent content, TokenPairs pairs, std::string* error)
{
    std::unique_ptr<TokenSession> session;
    std::string reason;
    if (TokenSession::open(reference, session, &reason) != TokenSession::Result::Opened)
        return refuse(error, reason + "; nothing was written");
    TokenObjects objects(*session);
    if (!offersTalvoMechanisms(*session, &reason))
        return refuse(error, reason + "; nothing was written");
    if (!objects.list())
        return refuse(error, session->lastFailure() + "; nothing was written");
    if (const std::vector<TokenObject> foreign = objects.foreign(); !foreign.empty())
        return refuse(error, "the token " + reference.uri + " holds " + foreignObjects(foreign) +
                                 "; a Talvo key takes a token of its own, and nothing was written");

    // What a writer killed while it created an object left holds nothing; it goes.
    objects.clearBare();
    const KeyStore files(directory);
    FileLock lock;
    if (!makeStateDirectory(directory, error) || !lockStateForWriting(lock, files, error))
        return false;
    KeyState state = demoKeyState(content);
    state.serial = session->serial().substr(0, kSerialMax);
    const std::optional<std::uint64_t> kept =
        pairs == TokenPairs::KeepWhole ? newestContainer(objects) : std::nullopt;
    const std::optional<std::uint64_t> next = kept ? kept : nextContainerGeneration(objects);
    if (!next)
        return refuse(error, "the token's key container has the last generation a number can hold, so "
                             "no new one can follow it; nothing was written");
    const std::uint64_t generation = *next;
    if (!kept && !newContainer(objects, generation, state.serial)) {
        destroyContainers(objects, generation, false);
        return refuse(error, session->lastFailure());
    }

    // Pictures first, the record last, as every change of the key goes.
    const TokenKeyStore store(directory, objects);
    bool written = true;
    for (int32_t number = kFirstSealNumber; written && number <= kLastSealNumber; ++number) {
        if (state.seal(number).inUse)
            written = store.writePicture(number, std::string(demoPicture(number)), error);
    }
    if (!written || !store.save(state, error) || !writeTokenReference(directory, reference, error)) {
        if (!kept)
            destroyContainers(objects, generation, false);
        return false;
    }
    removeFileKey(directory);
    std::error_code ec;
    std::filesystem::remove(unpluggedMarker(directory), ec);
    destroyContainers(objects, generation, true);
    return true;
}

} // namespace talvo::sim
