#pragma once

#include "CspProviderInterface.h"
#include "platform/core/DynamicLibrary.h"

#include <filesystem>
#include <memory>

namespace talvo {

// A provider library with its entry points bound. A module, once loaded, stays loaded for the
// rest of the process, as a provider DLL stays mapped on Windows: a provider may hold library
// state (OpenSSL's among them) that must not be torn down while the process still runs.
class CspModule {
public:
    // Null with the error set to NTE_PROVIDER_DLL_FAIL, and the reason traced, when the
    // library may have been changed by another user, cannot be loaded or lacks an entry point.
    static std::shared_ptr<const CspModule> load(const std::filesystem::path& library, DWORD& error);

    PFN_CPAcquireContext acquireContext = nullptr;
    PFN_CPReleaseContext releaseContext = nullptr;
    PFN_CPGetProvParam getProvParam = nullptr;
    PFN_CPCreateHash createHash = nullptr;
    PFN_CPHashData hashData = nullptr;
    PFN_CPSignHash signHash = nullptr;
    // Optional: a provider without it cannot sign a digest computed elsewhere.
    PFN_CPSetHashParam setHashParam = nullptr;
    PFN_CPDestroyHash destroyHash = nullptr;
    PFN_CPGenKey genKey = nullptr;
    PFN_CPGetUserKey getUserKey = nullptr;
    PFN_CPExportKey exportKey = nullptr;
    PFN_CPImportKey importKey = nullptr;
    PFN_CPEncrypt encrypt = nullptr;
    PFN_CPDecrypt decrypt = nullptr;
    PFN_CPVerifySignature verifySignature = nullptr;
    PFN_CPDestroyKey destroyKey = nullptr;

private:
    explicit CspModule(DynamicLibrary library);
    bool bindAll();

    DynamicLibrary m_library;
};

} // namespace talvo
