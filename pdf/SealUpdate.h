#pragma once

#include "DocumentSealing.h"

#include <qpdf/QPDF.hh>

#include <cstdint>
#include <ctime>
#include <string>

namespace talvo::pdf {

// One stamp's incremental update, to be appended to the document it was made from: the new
// objects (signature, field and widget, appearance, picture and mask), the page and form
// objects it changes written whole under their own numbers, a cross-reference section of the
// document's kind and a trailer pointing back to the previous one. /ByteRange and /Contents
// are placeholders of fixed width, filled in place.
class SealUpdate {
public:
    static constexpr std::size_t kContentsBytes = 8192;

    struct Source {
        uint64_t size = 0;            // of the document the update follows
        uint64_t previousXref = 0;    // its last startxref
        bool endsWithLineEnd = false; // its last byte
    };

    // False with the key holder's reason when the stamp cannot go on this document; qpdf's
    // exceptions about a damaged document pass through.
    bool build(QPDF& document, const SealStamp& stamp, std::time_t signingTime, const Source& source,
               std::string& error);

    // Sets /ByteRange to all of the sealed document but the /Contents string.
    void fillByteRange();
    // Writes the signature into /Contents; false when it does not fit.
    bool fillContents(const std::vector<uint8_t>& der);

    const std::string& bytes() const { return m_bytes; }
    // The update's parts that the signature covers: before and after /Contents.
    std::string_view coveredHead() const;
    std::string_view coveredTail() const;

private:
    std::string m_bytes;
    Source m_source;
    std::size_t m_contentsBegin = 0;
    std::size_t m_contentsEnd = 0;
    std::size_t m_byteRangeAt = 0;
};

} // namespace talvo::pdf
