#include "TokenModuleFile.h"

#include <p11-kit/p11-kit.h>
#include <p11-kit/uri.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace talvo::sim {

namespace {

struct UriDeleter {
    void operator()(P11KitUri* uri) const { p11_kit_uri_free(uri); }
};

struct ModulesDeleter {
    void operator()(CK_FUNCTION_LIST** modules) const { p11_kit_modules_finalize_and_release(modules); }
};

bool holdsToken(CK_FUNCTION_LIST* module, P11KitUri* uri)
{
    CK_INFO moduleInfo{};
    if (module->C_GetInfo(&moduleInfo) != CKR_OK || !p11_kit_uri_match_module_info(uri, &moduleInfo))
        return false;
    CK_ULONG count = 0;
    if (module->C_GetSlotList(CK_TRUE, nullptr, &count) != CKR_OK || count == 0)
        return false;
    std::vector<CK_SLOT_ID> slots(count);
    if (module->C_GetSlotList(CK_TRUE, slots.data(), &count) != CKR_OK)
        return false;
    slots.resize(count);
    for (const CK_SLOT_ID slot : slots) {
        CK_SLOT_INFO slotInfo{};
        CK_TOKEN_INFO tokenInfo{};
        if (module->C_GetSlotInfo(slot, &slotInfo) == CKR_OK &&
            module->C_GetTokenInfo(slot, &tokenInfo) == CKR_OK &&
            p11_kit_uri_match_slot_info(uri, &slotInfo) && p11_kit_uri_match_token_info(uri, &tokenInfo))
            return true;
    }
    return false;
}

} // namespace

std::string tokenModuleFile(const TokenReference& reference, std::string* error)
{
    const auto refuse = [error](const std::string& message) {
        if (error)
            *error = message;
        return std::string();
    };
    const std::unique_ptr<P11KitUri, UriDeleter> uri(p11_kit_uri_new());
    if (!uri)
        throw std::bad_alloc();
    if (p11_kit_uri_parse(reference.uri.c_str(), P11_KIT_URI_FOR_ANY, uri.get()) != P11_KIT_URI_OK)
        return refuse("\"" + reference.uri + "\" is no PKCS#11 URI");
    if (const char* path = p11_kit_uri_get_module_path(uri.get()))
        return path;

    const std::unique_ptr<CK_FUNCTION_LIST*, ModulesDeleter> modules(p11_kit_modules_load_and_initialize(0));
    if (!modules)
        return refuse(std::string("cannot load p11-kit's registered modules: ") + p11_kit_message());
    std::vector<std::string> files;
    for (CK_FUNCTION_LIST** module = modules.get(); *module; ++module) {
        if (!holdsToken(*module, uri.get()))
            continue;
        char* file = p11_kit_module_get_filename(*module);
        if (file)
            files.emplace_back(file);
        std::free(file);
    }
    if (files.size() != 1)
        return refuse(std::to_string(files.size()) + " registered PKCS#11 modules hold the token " +
                      reference.uri);
    return files.front();
}

} // namespace talvo::sim
