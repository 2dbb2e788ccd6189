#pragma once

#include "ScopedCryptHandle.h"

#include <QString>

namespace talvo {

// The provider context that both secure message operations work in: acquired on the default
// container, whose name the provider reports, then again on that container by name.
class ProviderSession {
public:
    // paramFlags is the flags argument of the container name query. On failure, failureText
    // is the operator's message for the step that failed.
    bool acquire(DWORD paramFlags, QString& failureText);
    HCRYPTPROV handle() const { return m_context.get(); }

private:
    ScopedCryptContext m_context;
};

} // namespace talvo
