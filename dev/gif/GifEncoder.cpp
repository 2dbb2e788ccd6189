#include "GifEncoder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace talvo::testing {

namespace {

void putWord(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

// Packs variable-width codes least significant bit first into 255-byte sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& out) : m_out(out) {}

    void write(int code, int width)
    {
        m_bits |= static_cast<uint32_t>(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            pushByte(static_cast<uint8_t>(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }

    void finish()
    {
        if (m_count > 0)
            pushByte(static_cast<uint8_t>(m_bits & 0xFF));
        flushBlock();
        m_out.append('\0');
    }

private:
    void pushByte(uint8_t byte)
    {
        m_block.push_back(byte);
        if (m_block.size() == 255)
            flushBlock();
    }

    void flushBlock()
    {
        if (m_block.empty())
            return;
        m_out.append(static_cast<char>(m_block.size()));
        m_out.append(reinterpret_cast<const char*>(m_block.data()), static_cast<qsizetype>(m_block.size()));
        m_block.clear();
    }

    QByteArray& m_out;
    std::vector<uint8_t> m_block;
    uint32_t m_bits = 0;
    int m_count = 0;
};

void compress(const QImage& indexed, QByteArray& out)
{
    constexpr int kMinimumCodeSize = 8;
    constexpr int kClear = 1 << kMinimumCodeSize;
    constexpr int kEnd = kClear + 1;
    constexpr int kMaxCode = 4095;
    out.append(static_cast<char>(kMinimumCodeSize));

    // table[prefix * 256 + byte] = code + 1 of that string, 0 when absent.
    std::vector<uint16_t> table(static_cast<std::size_t>(kMaxCode + 1) * 256, 0);
    CodeWriter writer(out);
    int width = kMinimumCodeSize + 1;
    int next = kEnd + 1;
    writer.write(kClear, width);

    int prefix = -1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int byte = line[x];
            if (prefix < 0) {
                prefix = byte;
                continue;
            }
            uint16_t& slot = table[static_cast<std::size_t>(prefix) * 256 + static_cast<std::size_t>(byte)];
            if (slot != 0) {
                prefix = slot - 1;
                continue;
            }
            writer.write(prefix, width);
            if (next <= kMaxCode) {
                slot = static_cast<uint16_t>(next + 1);
                // The decoder widens its codes one code later than the encoder adds them.
                if (next == (1 << width) && width < 12)
                    ++width;
                ++next;
            } else {
                writer.write(kClear, width);
                std::fill(table.begin(), table.end(), 0);
                width = kMinimumCodeSize + 1;
                next = kEnd + 1;
            }
            prefix = byte;
        }
    }
    if (prefix >= 0)
        writer.write(prefix, width);
    writer.write(kEnd, width);
    writer.finish();
}

} // namespace

QByteArray encodeGif(const QImage& image)
{
    QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QList<QRgb> colours = indexed.colorTable();
    colours.resize(256, qRgb(0, 0, 0));

    QByteArray out("GIF89a");
    putWord(out, indexed.width());
    putWord(out, indexed.height());
    out.append(static_cast<char>(0xF7)); // global colour table of 256 entries, 8 bits a channel
    out.append('\0');                    // background colour index
    out.append('\0');                    // no aspect ratio
    for (QRgb colour : colours) {
        out.append(static_cast<char>(qRed(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qBlue(colour)));
    }
    out.append(',');
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, indexed.width());
    putWord(out, indexed.height());
    out.append('\0'); // no local colour table, not interlaced
    compress(indexed, out);
    out.append(';');
    return out;
}

} // namespace talvo::testing
