#include "SealUpdate.h"

#include "CrossReferenceSection.h"
#include "PdfObjectText.h"
#include "SealGeometry.h"
#include "SealPicture.h"

#include <qpdf/QPDFPageObjectHelper.hh>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <set>

namespace talvo::pdf {

namespace {

constexpr int kByteRangeField = 10;
constexpr const char* kHexDigits = "0123456789ABCDEF";

struct UpdatedObject {
    int number = 0;
    int generation = 0;
    std::string body;
};

bool deflated(const std::vector<uint8_t>& bytes, std::string& out)
{
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    out.assign(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &length, bytes.data(),
                  static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    out.resize(length);
    return true;
}

std::string streamText(const std::string& dictionaryEntries, const std::string& data)
{
    return "<< " + dictionaryEntries + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
           "\nendstream";
}

std::string imageText(const SealPicture& picture, const std::string& colourSpace, const std::string& extra,
                      const std::string& data)
{
    return streamText("/Type /XObject /Subtype /Image /Width " + std::to_string(picture.width) + " /Height " +
                          std::to_string(picture.height) + " /ColorSpace " + colourSpace +
                          " /BitsPerComponent 8" + extra + " /Filter /FlateDecode",
                      data);
}

std::string pdfDate(std::time_t time)
{
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32] = {};
    std::strftime(text, sizeof text, "D:%Y%m%d%H%M%SZ", &utc);
    return text;
}

// Field names are unique among the form's fields and hold no period (it separates a
// field's name from its parent's).
std::string fieldName(const std::string& sealName, QPDFObjectHandle fields)
{
    std::string base = sealName.empty() ? std::string("Seal") : sealName;
    std::replace(base.begin(), base.end(), '.', '_');
    std::set<std::string> taken;
    if (fields.isArray()) {
        for (QPDFObjectHandle& field : fields.getArrayAsVector()) {
            if (field.isDictionary() && field.getKey("/T").isString())
                taken.insert(field.getKey("/T").getUTF8Value());
        }
    }
    std::string name = base;
    for (int suffix = 2; taken.count(name) != 0; ++suffix)
        name = base + " " + std::to_string(suffix);
    return name;
}

std::string rectText(const PdfRect& rect)
{
    std::string text = "[";
    for (const double value : {rect.left, rect.bottom, rect.right, rect.top}) {
        if (text.size() > 1)
            text += ' ';
        text += pdfNumber(value);
    }
    return text + "]";
}

// The trailer's keys that carry over to the next one.
std::string carriedTrailerKeys(QPDFObjectHandle trailer)
{
    std::string text;
    for (const char* key : {"/Root", "/Info", "/ID"}) {
        if (trailer.hasKey(key))
            text += std::string(" ") + key + " " + trailer.getKey(key).unparse();
    }
    return text;
}

} // namespace

bool SealUpdate::build(QPDF& document, const SealStamp& stamp, std::time_t signingTime, const Source& source,
                       std::string& error)
{
    m_source = source;
    if (document.isEncrypted()) {
        error = "文件已加密，不能盖章";
        return false;
    }
    std::vector<QPDFObjectHandle> pages = document.getAllPages();
    const int pageNumber = stamp.placement.page;
    if (pageNumber < 1 || static_cast<std::size_t>(pageNumber) > pages.size()) {
        error = "页码 " + std::to_string(pageNumber) + " 超出范围（文件共 " + std::to_string(pages.size()) +
                " 页）";
        return false;
    }
    QPDFObjectHandle page = pages[static_cast<std::size_t>(pageNumber - 1)];
    QPDFPageObjectHelper pageHelper(page);
    QPDFObjectHandle box = pageHelper.getCropBox(false, false);
    if (!box.isRectangle()) {
        error = "文件已损坏：第 " + std::to_string(pageNumber) + " 页没有页面大小";
        return false;
    }
    const QPDFObjectHandle::Rectangle crop = box.getArrayAsRectangle();
    QPDFObjectHandle rotateValue = pageHelper.getAttribute("/Rotate", false);
    const int rotate = rotateValue.isInteger() ? rotateValue.getIntValueAsInt() : 0;

    SealPicture picture;
    if (!decodeSealPicture(stamp.picture, picture, error))
        return false;
    const std::optional<SealFrame> frame =
        sealFrame({crop.llx, crop.lly, crop.urx, crop.ury}, rotate, stamp.placement.centreXMm,
                  stamp.placement.centreYMm, stamp.placement.widthMm,
                  static_cast<double>(picture.width) / picture.height);
    if (!frame) {
        error = "盖章位置不在第 " + std::to_string(pageNumber) + " 页上";
        return false;
    }
    std::string maskData;
    std::string imageData;
    if (!deflated(picture.alpha, maskData) || !deflated(picture.rgb, imageData)) {
        error = "签章图片无法压缩";
        return false;
    }

    QPDFObjectHandle trailer = document.getTrailer();
    QPDFObjectHandle sizeValue = trailer.getKey("/Size");
    if (!sizeValue.isInteger() || sizeValue.getIntValue() < 1) {
        error = "文件已损坏：交叉引用表无效";
        return false;
    }
    int next = std::max(sizeValue.getIntValueAsInt(), static_cast<int>(document.getObjectCount()) + 1);
    const int signatureNumber = next++;
    const int fieldNumber = next++;
    const int appearanceNumber = next++;
    const int imageNumber = next++;
    const int maskNumber = next++;
    const std::string fieldReference = pdfReference(fieldNumber);

    std::vector<UpdatedObject> objects;
    objects.push_back({maskNumber, 0, imageText(picture, "/DeviceGray", "", maskData)});
    objects.push_back(
        {imageNumber, 0, imageText(picture, "/DeviceRGB", " /SMask " + pdfReference(maskNumber), imageData)});
    const std::string width = pdfNumber(frame->width);
    const std::string height = pdfNumber(frame->height);
    const double* m = frame->matrix;
    objects.push_back(
        {appearanceNumber, 0,
         streamText("/Type /XObject /Subtype /Form /BBox [0 0 " + width + " " + height + "] /Matrix [" +
                        pdfNumber(m[0]) + " " + pdfNumber(m[1]) + " " + pdfNumber(m[2]) + " " +
                        pdfNumber(m[3]) + " 0 0] /Resources << /XObject << /Seal " +
                        pdfReference(imageNumber) + " >> >>",
                    "q " + width + " 0 0 " + height + " 0 0 cm /Seal Do Q")});

    QPDFObjectHandle root = document.getRoot();
    QPDFObjectHandle form = root.getKey("/AcroForm");
    QPDFObjectHandle fields = form.isDictionary() ? form.getKey("/Fields") : QPDFObjectHandle::newNull();
    // Printed and locked: the seal is part of the document, not a field to fill in.
    objects.push_back({fieldNumber, 0,
                       "<< /Type /Annot /Subtype /Widget /FT /Sig /T " +
                           QPDFObjectHandle::newUnicodeString(fieldName(stamp.sealName, fields)).unparse() +
                           " /V " + pdfReference(signatureNumber) + " /F 132 /P " +
                           pdfReference(page.getObjectID(), page.getGeneration()) + " /Rect " +
                           rectText(frame->rect) + " /AP << /N " + pdfReference(appearanceNumber) +
                           " >> >>"});

    std::string signature = "<< /Type /Sig /Filter /Adobe.PPKLite /SubFilter /ETSI.CAdES.detached /M " +
                            QPDFObjectHandle::newString(pdfDate(signingTime)).unparse();
    if (!stamp.reason.empty())
        signature += " /Reason " + QPDFObjectHandle::newUnicodeString(stamp.reason).unparse();
    signature += " /ByteRange [0 ";
    const std::size_t byteRangeInBody = signature.size();
    signature += std::string(kByteRangeField, ' ') + " " + std::string(kByteRangeField, ' ') + " " +
                 std::string(kByteRangeField, ' ') + "] /Contents ";
    const std::size_t contentsInBody = signature.size();
    signature += "<" + std::string(kContentsBytes * 2, '0') + "> >>";
    objects.push_back({signatureNumber, 0, signature});

    QPDFObjectHandle annotations = page.getKey("/Annots");
    if (annotations.isIndirect() && annotations.isArray())
        objects.push_back({annotations.getObjectID(), annotations.getGeneration(),
                           arrayTextWith(annotations, fieldReference)});
    else
        objects.push_back({page.getObjectID(), page.getGeneration(),
                           dictionaryText(page, {{"/Annots", arrayTextWith(annotations, fieldReference)}})});
    std::map<std::string, std::string> formChanges{{"/SigFlags", "3"}};
    if (fields.isIndirect() && fields.isArray())
        objects.push_back(
            {fields.getObjectID(), fields.getGeneration(), arrayTextWith(fields, fieldReference)});
    else
        formChanges["/Fields"] = arrayTextWith(fields, fieldReference);
    const std::string formText = dictionaryText(form, formChanges);
    if (form.isIndirect() && form.isDictionary())
        objects.push_back({form.getObjectID(), form.getGeneration(), formText});
    else
        objects.push_back(
            {root.getObjectID(), root.getGeneration(), dictionaryText(root, {{"/AcroForm", formText}})});

    std::sort(objects.begin(), objects.end(),
              [](const UpdatedObject& a, const UpdatedObject& b) { return a.number < b.number; });
    for (std::size_t i = 1; i < objects.size(); ++i) {
        if (objects[i].number == objects[i - 1].number) {
            error = "文件已损坏：页面与表单共用对象";
            return false;
        }
    }

    m_bytes.clear();
    if (!source.endsWithLineEnd)
        m_bytes += "\n";
    CrossReferenceSection crossReference(sizeValue.getIntValueAsInt(), source.previousXref,
                                         carriedTrailerKeys(trailer));
    for (const UpdatedObject& object : objects) {
        crossReference.add({object.number, object.generation, source.size + m_bytes.size()});
        const std::string header =
            std::to_string(object.number) + " " + std::to_string(object.generation) + " obj\n";
        if (object.number == signatureNumber) {
            m_byteRangeAt = m_bytes.size() + header.size() + byteRangeInBody;
            m_contentsBegin = m_bytes.size() + header.size() + contentsInBody;
            m_contentsEnd = m_contentsBegin + kContentsBytes * 2 + 2;
        }
        m_bytes += header + object.body + "\nendobj\n";
    }
    if (trailer.getKey("/Type").isNameAndEquals("/XRef"))
        crossReference.appendStream(m_bytes, source.size, next);
    else
        crossReference.appendTable(m_bytes, source.size);
    return true;
}

void SealUpdate::fillByteRange()
{
    const uint64_t total = m_source.size + m_bytes.size();
    const uint64_t head = m_source.size + m_contentsBegin;
    const uint64_t tailStart = m_source.size + m_contentsEnd;
    const uint64_t values[3] = {head, tailStart, total - tailStart};
    for (int i = 0; i < 3; ++i) {
        char field[kByteRangeField + 1] = {};
        std::snprintf(field, sizeof field, "%*llu", kByteRangeField,
                      static_cast<unsigned long long>(values[i]));
        m_bytes.replace(m_byteRangeAt + static_cast<std::size_t>(i) * (kByteRangeField + 1), kByteRangeField,
                        field);
    }
}

bool SealUpdate::fillContents(const std::vector<uint8_t>& der)
{
    if (der.size() > kContentsBytes)
        return false;
    std::size_t at = m_contentsBegin + 1;
    for (const uint8_t byte : der) {
        m_bytes[at++] = kHexDigits[byte >> 4];
        m_bytes[at++] = kHexDigits[byte & 0x0F];
    }
    return true;
}

std::string_view SealUpdate::coveredHead() const
{
    return std::string_view(m_bytes).substr(0, m_contentsBegin);
}

std::string_view SealUpdate::coveredTail() const
{
    return std::string_view(m_bytes).substr(m_contentsEnd);
}

} // namespace talvo::pdf
