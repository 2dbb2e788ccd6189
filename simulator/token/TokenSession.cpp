#include "TokenSession.h"

#include "P11KitIter.h"
#include "PinFile.h"
#include "TokenUri.h"

#include <p11-kit/p11-kit.h>
#include <p11-kit/uri.h>

#include <openssl/crypto.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace talvo::sim {

namespace {

std::string padded(const unsigned char* text, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(text), p11_kit_space_strlen(text, size));
}

bool refuse(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

struct TokenMatch {
    CK_FUNCTION_LIST* module;
    CK_SLOT_ID slot;
    CK_TOKEN_INFO info;
};

bool sameModuleName(CK_FUNCTION_LIST* module, const char* name)
{
    char* moduleName = p11_kit_module_get_name(module);
    const bool same = moduleName && std::strcmp(moduleName, name) == 0;
    std::free(moduleName);
    return same;
}

// Every token present in the modules that the URI's module, slot and token attributes match.
void matchTokens(std::vector<CK_FUNCTION_LIST*>& modules, P11KitUri* uri, std::vector<TokenMatch>& matches,
                 std::vector<std::string>& seen)
{
    modules.push_back(nullptr);
    const P11KitIterPtr iter = newP11KitIter(P11_KIT_ITER_WITH_TOKENS | P11_KIT_ITER_WITHOUT_OBJECTS);
    p11_kit_iter_begin(iter.get(), modules.data());
    const CK_SLOT_ID wanted = p11_kit_uri_get_slot_id(uri);
    const char* name = p11_kit_uri_get_module_name(uri);
    while (p11_kit_iter_next(iter.get()) == CKR_OK) {
        if (p11_kit_iter_get_kind(iter.get()) != P11_KIT_ITER_KIND_TOKEN)
            continue;
        CK_FUNCTION_LIST* module = p11_kit_iter_get_module(iter.get());
        const CK_SLOT_ID slot = p11_kit_iter_get_slot(iter.get());
        const CK_SLOT_INFO* slotInfo = p11_kit_iter_get_slot_info(iter.get());
        const CK_TOKEN_INFO* tokenInfo = p11_kit_iter_get_token(iter.get());
        CK_INFO moduleInfo{};
        if (!slotInfo || !tokenInfo || module->C_GetInfo(&moduleInfo) != CKR_OK)
            continue;
        seen.push_back(padded(tokenInfo->label, sizeof tokenInfo->label));
        CK_SLOT_INFO slotCopy = *slotInfo;
        CK_TOKEN_INFO tokenCopy = *tokenInfo;
        if (p11_kit_uri_match_module_info(uri, &moduleInfo) && (!name || sameModuleName(module, name)) &&
            p11_kit_uri_match_slot_info(uri, &slotCopy) && p11_kit_uri_match_token_info(uri, &tokenCopy) &&
            (wanted == static_cast<CK_SLOT_ID>(-1) || wanted == slot))
            matches.push_back({module, slot, tokenCopy});
    }
    modules.pop_back();
}

std::string seenTokens(const std::vector<std::string>& seen)
{
    if (seen.empty())
        return "no token is present";
    std::string names;
    for (const std::string& label : seen)
        names += (names.empty() ? "" : ", ") + ("\"" + label + "\"");
    return "tokens present: " + names;
}

} // namespace

int32_t statusOfTokenError(CK_RV rv)
{
    switch (rv) {
    case CKR_OK:
        return 0;
    case CKR_TOKEN_NOT_PRESENT:
    case CKR_DEVICE_REMOVED:
    case CKR_SESSION_CLOSED:
    case CKR_SESSION_HANDLE_INVALID:
    case CKR_SLOT_ID_INVALID:
    case CKR_TOKEN_NOT_RECOGNIZED:
        return 1;
    case CKR_DEVICE_MEMORY:
        return 6;
    default:
        return 2;
    }
}

std::string tokenErrorText(CK_RV rv)
{
    const char* text = p11_kit_strerror(rv);
    char code[24] = {};
    std::snprintf(code, sizeof code, "0x%lx", static_cast<unsigned long>(rv));
    return std::string(text ? text : "unknown error") + " (" + code + ")";
}

TokenSession::Result TokenSession::open(const TokenReference& reference,
                                        std::unique_ptr<TokenSession>& session, std::string* error,
                                        Purpose purpose)
{
    const auto failed = [&](const std::string& message) {
        refuse(error, message);
        return Result::Failed;
    };
    std::filesystem::path pinFile;
    const TokenUri uri = readTokenUri(reference, pinFile, error);
    if (!uri)
        return Result::Failed;
    std::string pin;
    if (purpose == Purpose::Use && !pinFile.empty() && !readPinFile(pinFile, pin, error))
        return Result::Failed;

    std::unique_ptr<TokenSession> opened(new TokenSession);
    opened->m_uri = reference.uri;
    std::vector<CK_FUNCTION_LIST*> modules;
    if (const char* path = p11_kit_uri_get_module_path(uri.get())) {
        opened->m_singleModule = p11_kit_module_load(path, 0);
        if (!opened->m_singleModule)
            return failed(std::string("cannot load the PKCS#11 module ") + path + ": " + p11_kit_message());
        if (const CK_RV rv = p11_kit_module_initialize(opened->m_singleModule); rv != CKR_OK) {
            p11_kit_module_release(opened->m_singleModule);
            opened->m_singleModule = nullptr;
            return failed(std::string("cannot initialise the PKCS#11 module ") + path + ": " +
                          tokenErrorText(rv));
        }
        modules.push_back(opened->m_singleModule);
    } else {
        opened->m_modules = p11_kit_modules_load_and_initialize(0);
        if (!opened->m_modules)
            return failed(std::string("cannot load p11-kit's registered modules: ") + p11_kit_message());
        for (CK_FUNCTION_LIST** module = opened->m_modules; *module; ++module)
            modules.push_back(*module);
    }

    std::vector<TokenMatch> matches;
    std::vector<std::string> seen;
    matchTokens(modules, uri.get(), matches, seen);
    if (matches.empty()) {
        refuse(error, "no token matches " + reference.uri + " (" + seenTokens(seen) + ")");
        return Result::NoToken;
    }
    if (matches.size() > 1)
        return failed(std::to_string(matches.size()) + " tokens match " + reference.uri +
                      "; name one, for example with its serial=");
    const TokenMatch& match = matches.front();
    opened->m_functions = match.module;
    opened->m_slot = match.slot;
    opened->m_tokenInfo = match.info;
    if (purpose == Purpose::FindOnly) {
        session = std::move(opened);
        return Result::Opened;
    }

    CK_FUNCTION_LIST& f = *match.module;
    CK_RV rv = f.C_OpenSession(match.slot, CKF_SERIAL_SESSION | CKF_RW_SESSION, nullptr, nullptr,
                               &opened->m_session);
    if (rv != CKR_OK) {
        refuse(error, "cannot open a session on the token " + reference.uri + ": " + tokenErrorText(rv));
        return statusOfTokenError(rv) == 1 ? Result::NoToken : Result::Failed;
    }
    const CK_FLAGS flags = match.info.flags;
    if (pinFile.empty() && (flags & CKF_PROTECTED_AUTHENTICATION_PATH) == 0 &&
        (flags & CKF_LOGIN_REQUIRED) != 0)
        return failed("the token " + reference.uri + " needs its PIN and has no PIN pad: name a PIN file");
    if (!pinFile.empty() || (flags & CKF_LOGIN_REQUIRED) != 0) {
        rv = pinFile.empty()
                 ? f.C_Login(opened->m_session, CKU_USER, nullptr, 0)
                 : f.C_Login(opened->m_session, CKU_USER, reinterpret_cast<unsigned char*>(pin.data()),
                             static_cast<CK_ULONG>(pin.size()));
        // The PIN is not kept beyond the login.
        OPENSSL_cleanse(pin.data(), pin.size());
        if (rv != CKR_OK && rv != CKR_USER_ALREADY_LOGGED_IN) {
            const std::string source =
                pinFile.empty() ? std::string("from its PIN pad") : "from " + pinFile.string();
            refuse(error,
                   "the token " + reference.uri + " refused the PIN " + source + ": " + tokenErrorText(rv));
            return statusOfTokenError(rv) == 1 ? Result::NoToken : Result::Failed;
        }
    }
    session = std::move(opened);
    return Result::Opened;
}

TokenSession::~TokenSession()
{
    // No C_Logout: the login belongs to every session of the process on this token, and ends
    // with the last of them.
    if (m_functions && m_session != CK_INVALID_HANDLE)
        m_functions->C_CloseSession(m_session);
    if (m_modules)
        p11_kit_modules_finalize_and_release(m_modules);
    if (m_singleModule) {
        p11_kit_module_finalize(m_singleModule);
        p11_kit_module_release(m_singleModule);
    }
}

std::string TokenSession::moduleFile() const
{
    char* file = p11_kit_module_get_filename(m_functions);
    const std::string path = file ? file : "";
    std::free(file);
    return path;
}

std::string tokenModuleFile(const TokenReference& reference, std::string* error)
{
    std::unique_ptr<TokenSession> session;
    if (TokenSession::open(reference, session, error, TokenSession::Purpose::FindOnly) !=
        TokenSession::Result::Opened)
        return {};
    std::string file = session->moduleFile();
    if (file.empty())
        refuse(error, "p11-kit names no file for the module that holds the token " + reference.uri);
    return file;
}

std::string TokenSession::serial() const
{
    return padded(m_tokenInfo.serialNumber, sizeof m_tokenInfo.serialNumber);
}

std::string TokenSession::label() const
{
    return padded(m_tokenInfo.label, sizeof m_tokenInfo.label);
}

bool TokenSession::succeeded(CK_RV rv, const std::string& what)
{
    if (rv == CKR_OK)
        return true;
    m_failureStatus = statusOfTokenError(rv);
    m_lastFailure = "token " + m_uri + ": cannot " + what + ": " + tokenErrorText(rv);
    return false;
}

} // namespace talvo::sim
