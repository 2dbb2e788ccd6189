#include "CrossReferenceSection.h"

#include <algorithm>
#include <cstdio>

namespace talvo::pdf {

namespace {

std::string endOfFile(uint64_t xrefOffset)
{
    return "startxref\n" + std::to_string(xrefOffset) + "\n%%EOF\n";
}

} // namespace

CrossReferenceSection::CrossReferenceSection(int previousSize, uint64_t previousXref, std::string trailerKeys)
    : m_previousSize(previousSize), m_previousXref(previousXref), m_trailerKeys(std::move(trailerKeys))
{
}

// Runs of consecutive numbers, each a subsection: its first number and its length.
std::vector<std::pair<int, int>> CrossReferenceSection::subsections() const
{
    std::vector<std::pair<int, int>> runs;
    for (const Entry& entry : m_entries) {
        if (!runs.empty() && runs.back().first + runs.back().second == entry.number)
            ++runs.back().second;
        else
            runs.emplace_back(entry.number, 1);
    }
    return runs;
}

int CrossReferenceSection::size() const
{
    return m_entries.empty() ? m_previousSize : std::max(m_previousSize, m_entries.back().number + 1);
}

void CrossReferenceSection::appendTable(std::string& bytes, uint64_t base) const
{
    const uint64_t xrefOffset = base + bytes.size();
    bytes += "xref\n";
    std::size_t at = 0;
    for (const auto& [first, count] : subsections()) {
        bytes += std::to_string(first) + " " + std::to_string(count) + "\n";
        for (int i = 0; i < count; ++i, ++at) {
            char line[32] = {};
            std::snprintf(line, sizeof line, "%010llu %05d n \n",
                          static_cast<unsigned long long>(m_entries[at].offset), m_entries[at].generation);
            bytes += line;
        }
    }
    bytes += "trailer\n<< /Size " + std::to_string(size()) + m_trailerKeys + " /Prev " +
             std::to_string(m_previousXref) + " >>\n";
    bytes += endOfFile(xrefOffset);
}

void CrossReferenceSection::appendStream(std::string& bytes, uint64_t base, int streamNumber)
{
    const uint64_t xrefOffset = base + bytes.size();
    add({streamNumber, 0, xrefOffset});
    std::string index;
    for (const auto& [first, count] : subsections()) {
        if (!index.empty())
            index += ' ';
        index += std::to_string(first) + " " + std::to_string(count);
    }
    // Each entry: type 1 (in use), the offset in eight bytes, the generation in two; big-endian.
    std::string data;
    for (const Entry& entry : m_entries) {
        data.push_back('\x01');
        for (int shift = 56; shift >= 0; shift -= 8)
            data.push_back(static_cast<char>((entry.offset >> shift) & 0xFF));
        data.push_back(static_cast<char>((entry.generation >> 8) & 0xFF));
        data.push_back(static_cast<char>(entry.generation & 0xFF));
    }
    bytes += std::to_string(streamNumber) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(size()) +
             " /W [1 8 2] /Index [" + index + "]" + m_trailerKeys + " /Prev " +
             std::to_string(m_previousXref) + " /Length " + std::to_string(data.size()) + " >>\nstream\n" +
             data + "\nendstream\nendobj\n";
    bytes += endOfFile(xrefOffset);
}

} // namespace talvo::pdf
