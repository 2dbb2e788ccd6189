#include "TokenObjects.h"

#include "P11KitIter.h"

#include <openssl/evp.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <memory>

namespace talvo::sim {

namespace {

constexpr std::string_view kLabelPrefix = "talvo ";
constexpr std::string_view kPayloadMagic = "TLVO";
constexpr std::size_t kMaxLabelSize = 256;

void parseLabel(TokenObject& object)
{
    std::string_view label = object.label;
    if (!label.starts_with(kLabelPrefix))
        return;
    label.remove_prefix(kLabelPrefix.size());
    const std::size_t space = label.rfind(' ');
    if (space == std::string_view::npos || space == 0)
        return;
    const std::string_view number = label.substr(space + 1);
    std::uint64_t generation = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), generation);
    if (ec != std::errc() || end != number.data() + number.size() || generation == 0)
        return;
    object.name = std::string(label.substr(0, space));
    object.generation = generation;
    object.ours = object.objectClass != CKO_DATA || object.application == kTalvoApplication;
}

std::string sha256(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1)
        return {};
    return std::string(reinterpret_cast<const char*>(digest), size);
}

} // namespace

std::string talvoLabel(std::string_view name, std::uint64_t generation)
{
    return std::string(kLabelPrefix) + std::string(name) + " " + std::to_string(generation);
}

bool TokenObjects::list()
{
    m_objects.clear();
    CK_FUNCTION_LIST& f = m_session.functions();
    std::vector<CK_OBJECT_HANDLE> handles;
    const P11KitIterPtr iter = newP11KitIter(0);
    p11_kit_iter_begin_with(iter.get(), &f, m_session.slot(), m_session.handle());
    CK_RV rv = CKR_OK;
    while ((rv = p11_kit_iter_next(iter.get())) == CKR_OK)
        handles.push_back(p11_kit_iter_get_object(iter.get()));
    if (!m_session.succeeded(rv == CKR_CANCEL ? CKR_OK : rv, "list its objects"))
        return false;
    for (const CK_OBJECT_HANDLE handle : handles) {
        TokenObject object;
        object.handle = handle;
        std::string classBytes;
        if (!readAttribute(handle, CKA_CLASS, sizeof(CK_OBJECT_CLASS), classBytes) ||
            classBytes.size() != sizeof(CK_OBJECT_CLASS))
            return false;
        std::memcpy(&object.objectClass, classBytes.data(), sizeof object.objectClass);
        // An object without a label, or a data object without an application, has none.
        CK_ATTRIBUTE label = {CKA_LABEL, nullptr, 0};
        if (f.C_GetAttributeValue(m_session.handle(), handle, &label, 1) == CKR_OK &&
            !readAttribute(handle, CKA_LABEL, kMaxLabelSize, object.label))
            return false;
        CK_ATTRIBUTE application = {CKA_APPLICATION, nullptr, 0};
        if (object.objectClass == CKO_DATA &&
            f.C_GetAttributeValue(m_session.handle(), handle, &application, 1) == CKR_OK &&
            !readAttribute(handle, CKA_APPLICATION, kMaxLabelSize, object.application))
            return false;
        parseLabel(object);
        CK_ATTRIBUTE value = {CKA_VALUE, nullptr, 0};
        object.bare = object.objectClass == CKO_DATA && object.label.empty() && object.application.empty() &&
                      f.C_GetAttributeValue(m_session.handle(), handle, &value, 1) == CKR_OK &&
                      value.ulValueLen == 0;
        m_objects.push_back(object);
    }
    return true;
}

std::vector<TokenObject> TokenObjects::named(CK_OBJECT_CLASS objectClass, std::string_view name) const
{
    std::vector<TokenObject> objects;
    for (const TokenObject& object : m_objects) {
        if (object.ours && object.objectClass == objectClass && object.name == name)
            objects.push_back(object);
    }
    std::sort(objects.begin(), objects.end(),
              [](const TokenObject& a, const TokenObject& b) { return a.generation > b.generation; });
    return objects;
}

std::optional<std::uint64_t> TokenObjects::nextGeneration(std::string_view name) const
{
    std::uint64_t newest = 0;
    for (const TokenObject& object : m_objects) {
        if (object.ours && object.name == name)
            newest = std::max(newest, object.generation);
    }
    if (newest == std::numeric_limits<std::uint64_t>::max())
        return std::nullopt;
    return newest + 1;
}

std::vector<TokenObject> TokenObjects::foreign() const
{
    std::vector<TokenObject> objects;
    std::copy_if(m_objects.begin(), m_objects.end(), std::back_inserter(objects),
                 [](const TokenObject& object) { return !object.ours && !object.bare; });
    return objects;
}

bool TokenObjects::clearBare()
{
    const std::vector<TokenObject> all = m_objects;
    bool cleared = true;
    for (const TokenObject& object : all) {
        if (object.bare)
            cleared = destroy(object.handle) && cleared;
    }
    return cleared;
}

bool TokenObjects::readAttribute(CK_OBJECT_HANDLE object, CK_ATTRIBUTE_TYPE type, std::size_t maxBytes,
                                 std::string& bytes)
{
    CK_FUNCTION_LIST& f = m_session.functions();
    CK_ATTRIBUTE attribute = {type, nullptr, 0};
    if (!m_session.succeeded(f.C_GetAttributeValue(m_session.handle(), object, &attribute, 1),
                             "read an object's attribute"))
        return false;
    if (attribute.ulValueLen == CK_UNAVAILABLE_INFORMATION || attribute.ulValueLen > maxBytes)
        return m_session.succeeded(CKR_ATTRIBUTE_VALUE_INVALID, "read an object's attribute of that size");
    bytes.assign(attribute.ulValueLen, '\0');
    attribute.pValue = bytes.data();
    if (!m_session.succeeded(f.C_GetAttributeValue(m_session.handle(), object, &attribute, 1),
                             "read an object's attribute"))
        return false;
    bytes.resize(attribute.ulValueLen);
    return true;
}

bool TokenObjects::valueSize(CK_OBJECT_HANDLE object, std::uint64_t& size)
{
    CK_ATTRIBUTE attribute = {CKA_VALUE, nullptr, 0};
    if (!m_session.succeeded(
            m_session.functions().C_GetAttributeValue(m_session.handle(), object, &attribute, 1),
            "read the size of an object"))
        return false;
    if (attribute.ulValueLen == CK_UNAVAILABLE_INFORMATION)
        return m_session.succeeded(CKR_ATTRIBUTE_SENSITIVE, "read the size of an object");
    size = attribute.ulValueLen;
    return true;
}

bool TokenObjects::create(std::vector<CK_ATTRIBUTE> attributes, const TokenObject& described)
{
    TokenObject object = described;
    if (!m_session.succeeded(m_session.functions().C_CreateObject(m_session.handle(), attributes.data(),
                                                                  static_cast<CK_ULONG>(attributes.size()),
                                                                  &object.handle),
                             "create the object \"" + object.label + "\""))
        return false;
    m_objects.push_back(object);
    return true;
}

bool TokenObjects::destroy(CK_OBJECT_HANDLE handle)
{
    if (!m_session.succeeded(m_session.functions().C_DestroyObject(m_session.handle(), handle),
                             "destroy an object"))
        return false;
    std::erase_if(m_objects, [handle](const TokenObject& object) { return object.handle == handle; });
    return true;
}

bool TokenObjects::createData(std::string_view name, std::uint64_t generation, const std::string& value)
{
    CK_OBJECT_CLASS dataClass = CKO_DATA;
    CK_BBOOL yes = CK_TRUE;
    std::string label = talvoLabel(name, generation);
    std::string application(kTalvoApplication);
    std::string bytes = value;
    const auto attribute = [](CK_ATTRIBUTE_TYPE type, void* data, std::size_t size) {
        return CK_ATTRIBUTE{type, data, static_cast<CK_ULONG>(size)};
    };
    TokenObject object;
    object.objectClass = CKO_DATA;
    object.label = label;
    object.application = application;
    object.ours = true;
    object.name = std::string(name);
    object.generation = generation;
    return create({attribute(CKA_CLASS, &dataClass, sizeof dataClass), attribute(CKA_TOKEN, &yes, sizeof yes),
                   attribute(CKA_PRIVATE, &yes, sizeof yes), attribute(CKA_LABEL, label.data(), label.size()),
                   attribute(CKA_APPLICATION, application.data(), application.size()),
                   attribute(CKA_VALUE, bytes.data(), bytes.size())},
                  object);
}

std::string wrapPayload(const std::string& payload)
{
    std::string value(kPayloadMagic);
    std::uint64_t size = payload.size();
    for (int i = 0; i < 8; ++i, size >>= 8)
        value.push_back(static_cast<char>(size & 0xff));
    return value + sha256(payload) + payload;
}

bool unwrapPayload(const std::string& value, std::string& payload)
{
    if (value.size() < kPayloadHeaderSize || !value.starts_with(kPayloadMagic))
        return false;
    std::uint64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = (size << 8) | static_cast<unsigned char>(value[4 + static_cast<std::size_t>(i)]);
    if (size != value.size() - kPayloadHeaderSize)
        return false;
    std::string content = value.substr(kPayloadHeaderSize);
    if (sha256(content) != value.substr(12, 32))
        return false;
    payload = std::move(content);
    return true;
}

} // namespace talvo::sim
