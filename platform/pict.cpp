#include "platform/pict.h"

#include "platform/files.h"
#include "platform/internal/picture_p.h"
#include "platform/picture.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <cstdint>
#include <vector>

namespace platform {

namespace {

// The largest row a PixMap can describe: rowBytes has 14 bits, and a pixel takes 4 bytes.
constexpr int kMaxWidth = 0x3FFF / 4;
constexpr int kMaxHeight = 0x7FFF;
constexpr uint32_t k72Dpi = 0x00480000; // 72.0 as a Fixed

enum Opcode : uint16_t {
    OpClip = 0x0001,
    OpVersion = 0x0011,
    OpDirectBitsRect = 0x009A,
    OpEndOfPicture = 0x00FF,
    OpHeader = 0x0C00,
};

// Big-endian output, as QuickDraw stores every number.
class Writer {
public:
    void u8(uint8_t v) { mBytes.push_back(static_cast<char>(v)); }
    void u16(uint16_t v)
    {
        u8(static_cast<uint8_t>(v >> 8));
        u8(static_cast<uint8_t>(v));
    }
    void u32(uint32_t v)
    {
        u16(static_cast<uint16_t>(v >> 16));
        u16(static_cast<uint16_t>(v));
    }
    void bytes(const std::vector<uint8_t>& b) { mBytes.append(b.begin(), b.end()); }
    void zeros(size_t n) { mBytes.append(n, '\0'); }
    /// A Rect: top, left, bottom, right.
    void rect(int w, int h)
    {
        u16(0);
        u16(0);
        u16(static_cast<uint16_t>(h));
        u16(static_cast<uint16_t>(w));
    }
    void alignToWord()
    {
        if (mBytes.size() % 2 != 0)
            u8(0);
    }
    size_t size() const { return mBytes.size(); }
    void putU16At(size_t pos, uint16_t v)
    {
        mBytes[pos] = static_cast<char>(v >> 8);
        mBytes[pos + 1] = static_cast<char>(v);
    }
    std::string take() { return std::move(mBytes); }

private:
    std::string mBytes;
};

// PackBits: a run of n = 3 to 128 equal bytes is a count byte of 1 - n and the byte; up to 128
// other bytes are a count byte of n - 1 and the bytes themselves. Two equal bytes stay in a
// literal, where they cost no more than as a run of their own.
void packBits(const std::vector<uint8_t>& src, std::vector<uint8_t>& out)
{
    const size_t n = src.size();
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && src[i + run] == src[i])
            ++run;
        if (run >= 3) {
            out.push_back(static_cast<uint8_t>(1 - static_cast<int>(run)));
            out.push_back(src[i]);
            i += run;
            continue;
        }
        const size_t start = i;
        while (i < n && i - start < 128 &&
               !(i + 2 < n && src[i] == src[i + 1] && src[i] == src[i + 2]))
            ++i;
        out.push_back(static_cast<uint8_t>(i - start - 1));
        out.insert(out.end(), src.begin() + static_cast<ptrdiff_t>(start),
                   src.begin() + static_cast<ptrdiff_t>(i));
    }
}

void writePixMap(Writer& out, int w, int h, uint16_t rowBytes)
{
    out.u32(0x000000FF);        // baseAddr: stands for direct pixels in a picture
    out.u16(rowBytes | 0x8000); // the high bit marks a PixMap
    out.rect(w, h);             // bounds
    out.u16(0);                 // pmVersion
    out.u16(4);                 // packType: PackBits by component
    out.u32(0);                 // packSize
    out.u32(k72Dpi);            // hRes
    out.u32(k72Dpi);            // vRes
    out.u16(16);                // pixelType: RGBDirect
    out.u16(32);                // pixelSize
    out.u16(3);                 // cmpCount: red, green, blue; the unused byte is not stored
    out.u16(8);                 // cmpSize
    out.u32(0);                 // planeBytes
    out.u32(0);                 // pmTable
    out.u32(0);                 // pmReserved
}

// The pixel data: rows of fewer than 8 bytes are stored as they are; longer rows are packed
// one by one, as all of a row's reds, then its greens, then its blues, each packed row led by
// its length in a word when rowBytes is over 250 and in a byte otherwise.
void writePixels(Writer& out, const QImage& image, uint16_t rowBytes)
{
    const int w = image.width();
    std::vector<uint8_t> components(static_cast<size_t>(w) * 3);
    std::vector<uint8_t> packed;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (rowBytes < 8) {
            for (int x = 0; x < w; ++x) {
                out.u8(0);
                out.u8(static_cast<uint8_t>(qRed(line[x])));
                out.u8(static_cast<uint8_t>(qGreen(line[x])));
                out.u8(static_cast<uint8_t>(qBlue(line[x])));
            }
            continue;
        }
        for (int x = 0; x < w; ++x) {
            components[static_cast<size_t>(x)] = static_cast<uint8_t>(qRed(line[x]));
            components[static_cast<size_t>(w + x)] = static_cast<uint8_t>(qGreen(line[x]));
            components[static_cast<size_t>(2 * w + x)] = static_cast<uint8_t>(qBlue(line[x]));
        }
        packed.clear();
        packBits(components, packed);
        if (rowBytes > 250)
            out.u16(static_cast<uint16_t>(packed.size()));
        else
            out.u8(static_cast<uint8_t>(packed.size()));
        out.bytes(packed);
    }
}

} // namespace

std::optional<std::string> EncodePict(const Picture& picture)
{
    picture.impl().flush();
    const QImage image = picture.impl().image.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    if (w < 1 || h < 1 || w > kMaxWidth || h > kMaxHeight)
        return std::nullopt;
    const auto rowBytes = static_cast<uint16_t>(w * 4);

    Writer out;
    out.zeros(512);
    const size_t start = out.size();
    out.u16(0);     // picSize, filled in at the end
    out.rect(w, h); // picFrame
    out.u16(OpVersion);
    out.u16(0x02FF);
    // The extended version 2 header: version -2, reserved, resolution, source rectangle,
    // reserved.
    out.u16(OpHeader);
    out.u16(0xFFFE);
    out.u16(0);
    out.u32(k72Dpi);
    out.u32(k72Dpi);
    out.rect(w, h);
    out.u32(0);
    // A clip region of the whole frame: a region of 10 bytes is its bounding box alone.
    out.u16(OpClip);
    out.u16(10);
    out.rect(w, h);

    out.u16(OpDirectBitsRect);
    writePixMap(out, w, h, rowBytes);
    out.rect(w, h); // srcRect
    out.rect(w, h); // dstRect
    out.u16(0);     // mode: srcCopy
    writePixels(out, image, rowBytes);
    out.alignToWord(); // opcodes start on even bytes

    out.u16(OpEndOfPicture);
    // For a version 2 picture picSize holds the low 16 bits of the picture's size.
    out.putU16At(start, static_cast<uint16_t>((out.size() - start) & 0xFFFF));
    return out.take();
}

std::optional<std::string> EncodePng(const Picture& picture)
{
    picture.impl().flush();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return std::nullopt;
    QImageWriter writer(&buffer, "png");
    // Opaque, as the PICT holds it: no alpha channel for a viewer to show as transparency.
    if (!writer.write(picture.impl().image.convertToFormat(QImage::Format_RGB888)))
        return std::nullopt;
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool SaveAsPicture(const File& file, const Picture& picture, int format)
{
    std::optional<std::string> bytes;
    if (format == kPictFormat)
        bytes = EncodePict(picture);
    else if (format == kPngFormat)
        bytes = EncodePng(picture);
    return bytes && file.writeAll(*bytes);
}

} // namespace platform
