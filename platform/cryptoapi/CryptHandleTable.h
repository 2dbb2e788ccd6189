#pragma once

#include "CspModule.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace talvo {

// The layer's handles: each names a provider's own handle together with the module that made
// it, as advapi32 wraps a provider's handles. Keys and hashes belong to one context and die
// with it. Handles are never reused, so a stale one fails instead of reaching another object.
class CryptHandleTable {
public:
    enum class Kind { Key, Hash };

    struct Context {
        std::shared_ptr<const CspModule> module;
        HCRYPTPROV inner = 0;
    };
    // A key or a hash, with the context it belongs to resolved.
    struct Object {
        HCRYPTPROV outerContext = 0;
        Context context;
        ULONG_PTR inner = 0;
    };

    static CryptHandleTable& instance();

    HCRYPTPROV addContext(Context context);
    std::optional<Context> context(HCRYPTPROV handle) const;
    // Forgets the context and every key and hash that belongs to it.
    std::optional<Context> takeContext(HCRYPTPROV handle);

    ULONG_PTR addObject(Kind kind, HCRYPTPROV outerContext, ULONG_PTR inner);
    std::optional<Object> object(Kind kind, ULONG_PTR handle) const;
    std::optional<Object> takeObject(Kind kind, ULONG_PTR handle);

private:
    struct ObjectEntry {
        Kind kind;
        HCRYPTPROV outerContext;
        ULONG_PTR inner;
    };
    std::optional<Object> resolve(Kind kind, ULONG_PTR handle) const;

    mutable std::mutex m_mutex;
    ULONG_PTR m_nextHandle = 0x1000;
    std::map<HCRYPTPROV, Context> m_contexts;
    std::map<ULONG_PTR, ObjectEntry> m_objects;
};

} // namespace talvo
