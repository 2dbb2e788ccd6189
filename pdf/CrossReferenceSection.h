#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvo::pdf {

// The cross-reference section that ends an incremental update, of the kind the document
// already uses: a table with its trailer, or an uncompressed /Type /XRef stream; then
// startxref and %%EOF.
class CrossReferenceSection {
public:
    struct Entry {
        int number = 0;
        int generation = 0;
        uint64_t offset = 0; // from the start of the file
    };

    // trailerKeys: the keys carried over from the previous trailer, in PDF syntax.
    CrossReferenceSection(int previousSize, uint64_t previousXref, std::string trailerKeys);

    // In the order of their numbers, each number once.
    void add(const Entry& entry) { m_entries.push_back(entry); }

    // Appended to bytes, which the file holds from offset base on; streamNumber is the
    // stream's own object number.
    void appendTable(std::string& bytes, uint64_t base) const;
    void appendStream(std::string& bytes, uint64_t base, int streamNumber);

private:
    std::vector<std::pair<int, int>> subsections() const;
    int size() const;

    int m_previousSize;
    uint64_t m_previousXref;
    std::string m_trailerKeys;
    std::vector<Entry> m_entries;
};

} // namespace talvo::pdf
