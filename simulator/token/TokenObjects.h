#pragma once

#include "TokenSession.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::sim {

// One object on the token. A Talvo key's objects are labelled "talvo NAME GENERATION"; its
// data objects also belong to the application "talvo".
struct TokenObject {
    CK_OBJECT_HANDLE handle = CK_INVALID_HANDLE;
    CK_OBJECT_CLASS objectClass = 0;
    std::string label;
    std::string application;
    bool ours = false;
    // A data object without label, application or value: what a writer killed while it
    // created an object leaves. It holds nothing, so clearing it loses nothing.
    bool bare = false;
    std::string name;
    std::uint64_t generation = 0;
};

inline constexpr std::string_view kTalvoApplication = "talvo";

std::string talvoLabel(std::string_view name, std::uint64_t generation);

// The objects that the session sees, and the ways a Talvo key changes them. A change creates
// a new generation of an object before the old one is destroyed, so that a token error or a
// crash in between leaves the older whole object to be found.
class TokenObjects {
public:
    explicit TokenObjects(TokenSession& session) : m_session(session) {}

    TokenSession& session() const { return m_session; }
    bool list();
    const std::vector<TokenObject>& all() const { return m_objects; }
    // The Talvo objects of that class and name, newest first.
    std::vector<TokenObject> named(CK_OBJECT_CLASS objectClass, std::string_view name) const;
    // None when the newest generation of that name is the last a number can hold.
    std::optional<std::uint64_t> nextGeneration(std::string_view name) const;
    std::vector<TokenObject> foreign() const;
    // Destroys the bare objects; false when the token refuses.
    bool clearBare();

    bool readAttribute(CK_OBJECT_HANDLE object, CK_ATTRIBUTE_TYPE type, std::size_t maxBytes,
                       std::string& bytes);
    // The size of a data object's value without reading it.
    bool valueSize(CK_OBJECT_HANDLE object, std::uint64_t& size);
    bool create(std::vector<CK_ATTRIBUTE> attributes, const TokenObject& described);
    bool destroy(CK_OBJECT_HANDLE object);
    // Data objects of the application "talvo", private to the logged-in user.
    bool createData(std::string_view name, std::uint64_t generation, const std::string& value);

    // Adds an object made elsewhere (a generated key) to the list.
    void add(const TokenObject& object) { m_objects.push_back(object); }

private:
    TokenSession& m_session;
    std::vector<TokenObject> m_objects;
};

// A data object's value: "TLVO", the payload's size (8 bytes little-endian), its SHA-256,
// the payload. A value that is cut or changed does not unwrap.
std::string wrapPayload(const std::string& payload);
bool unwrapPayload(const std::string& value, std::string& payload);
inline constexpr std::size_t kPayloadHeaderSize = 4 + 8 + 32;

} // namespace talvo::sim
