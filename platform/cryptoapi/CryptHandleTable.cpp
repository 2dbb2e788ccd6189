#include "CryptHandleTable.h"

namespace talvo {

CryptHandleTable& CryptHandleTable::instance()
{
    static CryptHandleTable table;
    return table;
}

HCRYPTPROV CryptHandleTable::addContext(Context context)
{
    const std::lock_guard lock(m_mutex);
    const HCRYPTPROV handle = ++m_nextHandle;
    m_contexts.emplace(handle, std::move(context));
    return handle;
}

std::optional<CryptHandleTable::Context> CryptHandleTable::context(HCRYPTPROV handle) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_contexts.find(handle);
    if (found == m_contexts.end())
        return std::nullopt;
    return found->second;
}

std::optional<CryptHandleTable::Context> CryptHandleTable::takeContext(HCRYPTPROV handle)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_contexts.find(handle);
    if (found == m_contexts.end())
        return std::nullopt;
    Context context = std::move(found->second);
    m_contexts.erase(found);
    std::erase_if(m_objects, [handle](const auto& entry) { return entry.second.outerContext == handle; });
    return context;
}

ULONG_PTR CryptHandleTable::addObject(Kind kind, HCRYPTPROV outerContext, ULONG_PTR inner)
{
    const std::lock_guard lock(m_mutex);
    const ULONG_PTR handle = ++m_nextHandle;
    m_objects.emplace(handle, ObjectEntry{kind, outerContext, inner});
    return handle;
}

std::optional<CryptHandleTable::Object> CryptHandleTable::resolve(Kind kind, ULONG_PTR handle) const
{
    const auto found = m_objects.find(handle);
    if (found == m_objects.end() || found->second.kind != kind)
        return std::nullopt;
    const auto context = m_contexts.find(found->second.outerContext);
    if (context == m_contexts.end())
        return std::nullopt;
    return Object{found->second.outerContext, context->second, found->second.inner};
}

std::optional<CryptHandleTable::Object> CryptHandleTable::object(Kind kind, ULONG_PTR handle) const
{
    const std::lock_guard lock(m_mutex);
    return resolve(kind, handle);
}

std::optional<CryptHandleTable::Object> CryptHandleTable::takeObject(Kind kind, ULONG_PTR handle)
{
    const std::lock_guard lock(m_mutex);
    std::optional<Object> found = resolve(kind, handle);
    if (found)
        m_objects.erase(handle);
    return found;
}

} // namespace talvo
