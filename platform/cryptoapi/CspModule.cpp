#include "CspModule.h"

#include "FileTrust.h"
#include "platform/core/DebugTrace.h"

#include <map>
#include <mutex>

namespace talvo {

namespace {

template <class Pointer> bool bindEntry(const DynamicLibrary& library, Pointer& pointer, const char* name)
{
    pointer = reinterpret_cast<Pointer>(library.symbol(name));
    if (!pointer)
        debugTrace(QStringLiteral("Provider module %1 lacks the entry point %2")
                       .arg(QString::fromStdString(library.path()), QLatin1String(name)));
    return pointer != nullptr;
}

} // namespace

CspModule::CspModule(DynamicLibrary library) : m_library(std::move(library)) {}

bool CspModule::bindAll()
{
    const DynamicLibrary& l = m_library;
    setHashParam = reinterpret_cast<PFN_CPSetHashParam>(l.symbol("CPSetHashParam"));
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
    const QString shown = QString::fromStdString(library.string());
    if (const std::optional<std::string> reason = whyUntrusted(library)) {
        debugTrace(
            QStringLiteral("Provider module %1 refused: %2").arg(shown, QString::fromStdString(*reason)));
        error = NTE_PROVIDER_DLL_FAIL;
        return nullptr;
    }
    const std::lock_guard lock(mutex);
    if (const auto found = modules->find(key); found != modules->end())
        return found->second;

    DynamicLibrary loaded(key.string());
    if (!loaded.isLoaded()) {
        debugTrace(QStringLiteral("Provider module %1 not loaded: %2")
                       .arg(shown, QString::fromStdString(loaded.errorText())));
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
