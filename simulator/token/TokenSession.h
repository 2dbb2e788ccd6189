#pragma once

#include "TokenReference.h"

#include <p11-kit/pkcs11.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace talvo::sim {

// What a failed token call answers at the driver: 1 when the token has gone, 6 when it has
// no room, 2 for anything else.
int32_t statusOfTokenError(CK_RV rv);

// A read-write session, logged in as the user, on the one token that a PKCS#11 URI names:
// found among p11-kit's registered modules, or in the module that the URI names with
// module-path=. The PIN comes from the reference's PIN file, or from the token's own PIN pad.
// The session is closed and the modules finalised when the object dies.
class TokenSession {
public:
    enum class Result { Opened, NoToken, Failed };

    // FindOnly stops once the token is found: no session, no login, no PIN asked for.
    enum class Purpose { Use, FindOnly };

    static Result open(const TokenReference& reference, std::unique_ptr<TokenSession>& session,
                       std::string* error, Purpose purpose = Purpose::Use);
    ~TokenSession();
    TokenSession(const TokenSession&) = delete;
    TokenSession& operator=(const TokenSession&) = delete;

    CK_FUNCTION_LIST& functions() const { return *m_functions; }
    CK_SESSION_HANDLE handle() const { return m_session; }
    CK_SLOT_ID slot() const { return m_slot; }
    // The token's serial number and label without their padding.
    std::string serial() const;
    std::string label() const;
    // The file of the PKCS#11 module that holds the token.
    std::string moduleFile() const;

    // True for CKR_OK; else remembers the failure (its status and what failed) and says so.
    bool succeeded(CK_RV rv, const std::string& what);
    // The status of the last failure: 2 unless the token went away (1) or ran out of room (6).
    int32_t failureStatus() const { return m_failureStatus; }
    const std::string& lastFailure() const { return m_lastFailure; }

private:
    TokenSession() = default;

    CK_FUNCTION_LIST** m_modules = nullptr;
    CK_FUNCTION_LIST* m_singleModule = nullptr;
    CK_FUNCTION_LIST* m_functions = nullptr;
    CK_SLOT_ID m_slot = 0;
    CK_SESSION_HANDLE m_session = CK_INVALID_HANDLE;
    CK_TOKEN_INFO m_tokenInfo{};
    int32_t m_failureStatus = 2;
    std::string m_lastFailure;
    std::string m_uri;
};

// The file of the PKCS#11 module that holds the reference's token, found without logging in;
// empty, with the reason, when no single token matches.
std::string tokenModuleFile(const TokenReference& reference, std::string* error);

// The text of a PKCS#11 return value, with its name where p11-kit knows one.
std::string tokenErrorText(CK_RV rv);

} // namespace talvo::sim
