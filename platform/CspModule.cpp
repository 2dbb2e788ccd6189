#include "CspModule.h"

#include <map>
#include <mutex>

namespace talvo {

namespace {

template <class Pointer> bool bindEntry(const DynamicLibrary& library, Pointer& pointer, const char* name)
{
    pointer = reinterpret_cast<Pointer>(library.symbol(name));
    return pointer != nullptr;
}

} // namespace

CspModule::CspModule(DynamicLibrary library) : m_library(std::move(library)) {}

bool CspModule::bindAll()
{
    const DynamicLibrary& l = m_library;
    return bindEntry(l, acquireContext, "CPAcquireContext") &&
           bindEntry(l, releaseContext, "CPReleaseContext") && bindEntry(l, getProvParam, "CPGetProvParam") &&
           bindEntry(l, createHash, "CPCreateHash") && bindEntry(l, hashData, "CPHashData") &&
           bindEntry(l, signHash, "CPSignHash") && bindEntry(l, destroyHash, "CPDestroyHash") &&
           bindEntry(l, genKey, "CPGenKey") && bindEntry(l, getUserKey, "CPGetUserKey") &&
           bindEntry(l, exportKey, "CPExportKey") && bindEntry(l, importKey, "CPImportKey") &&
           bindEntry(l, encrypt, "CPEncrypt") && bindEntry(l, decrypt, "CPDecrypt") &&
           bindEntry(l, verifySignature, "CPVerifySignature") && bindEntry(l, destroyKey, "CPDestroyKey");
}

std::shared_ptr<const CspModule> CspModule::load(const std::filesystem::path& library, DWORD& error)
{
    // Deliberately never destroyed: see the class comment.
    static auto* modules = new std::map<std::filesystem::path, std::shared_ptr<const CspModule>>();
    static std::mutex mutex;

    std::error_code ec;
    std::filesystem::path key = std::filesystem::weakly_canonical(library, ec);
    if (ec)
        key = library;
    const std::lock_guard lock(mutex);
    if (const auto found = modules->find(key); found != modules->end())
        return found->second;

    DynamicLibrary loaded(key.string());
    if (!loaded.isLoaded()) {
        error = NTE_PROVIDER_DLL_FAIL;
        return nullptr;
    }
    std::shared_ptr<CspModule> module(new CspModule(std::move(loaded)));
    if (!module->bindAll()) {
        error = NTE_PROVIDER_DLL_FAIL;
        return nullptr;
    }
    modules->emplace(key, module);
    return module;
}

} // namespace talvo
