#include "platform/KpMetafileDib.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace kp {

namespace {

struct DibHeader {
    int64_t headerSize = 0, width = 0, height = 0;
    int bpp = 0;
    uint32_t compression = 0;
    int64_t colors = 0;
    int colorBytes = 4; // RGBQUAD, or 3 for the old core header's triples
    uint32_t masks[3] = {0, 0, 0};
    bool ok = false;
};

DibHeader readHeader(const TKpLeReader& r) {
    DibHeader h;
    h.headerSize = r.U32(0);
    if (h.headerSize == 12 && r.Fits(0, 12)) {
        h.width = r.U16(4);
        h.height = r.I16(6);
        h.bpp = r.U16(10);
        h.colorBytes = 3;
    } else if (h.headerSize >= 40 && r.Fits(0, h.headerSize)) {
        h.width = r.I32(4);
        h.height = r.I32(8);
        h.bpp = r.U16(14);
        h.compression = r.U32(16);
        h.colors = r.U32(32);
    } else {
        return h;
    }
    if (h.bpp <= 8 && h.bpp > 0 && (h.colors == 0 || h.colors > (int64_t(1) << h.bpp)))
        h.colors = int64_t(1) << h.bpp;
    if (h.bpp > 8) h.colors = 0;
    int64_t masksAt = h.headerSize;
    if (h.compression == 3) {
        // Bit fields: the masks follow a 40-byte header and sit inside the longer ones.
        if (h.headerSize >= 52) masksAt = 40;
        for (int i = 0; i < 3; ++i)
            h.masks[i] = r.U32(masksAt + 4 * i);
        if (h.headerSize == 40) h.headerSize += 12;
    } else if (h.bpp == 16) {
        h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
    } else if (h.bpp == 32) {
        h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
    }
    // Run-length compressed rows (8 bits a pixel, or 4) are stored bottom-up only.
    const bool rle = (h.compression == 1 && h.bpp == 8) || (h.compression == 2 && h.bpp == 4);
    h.ok = h.width > 0 && h.height != 0 &&
           (h.compression == 0 || h.compression == 3 || (rle && h.height > 0));
    const int64_t ah = h.height < 0 ? -h.height : h.height;
    if (h.width * ah > kKpMaxDibPixels) h.ok = false;
    if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
        h.ok = false;
    if (h.compression == 3 && h.bpp != 16 && h.bpp != 32) h.ok = false;
    return h;
}

int channel(uint32_t v, uint32_t mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    return int(((v & mask) >> shift) * 255 / max);
}

// Colour indices of a run-length compressed bitmap, row 0 at the bottom. Pixels the runs do
// not reach keep index 0; runs past the bitmap's edges are cut off there.
std::vector<uint8_t> decodeRle(const DibHeader& h, const TKpLeReader& bits) {
    const int64_t w = h.width, ht = h.height;
    std::vector<uint8_t> index(size_t(w * ht), 0);
    const bool four = h.bpp == 4;
    int64_t x = 0, y = 0, i = 0;
    const auto put = [&](uint8_t v) {
        if (x < w && y < ht) index[size_t(y * w + x)] = v;
        ++x;
    };
    // Each step reads at least two bytes, and a run writes at most 255 pixels.
    while (bits.Fits(i, 2) && y < ht) {
        const int count = bits.U8(i), value = bits.U8(i + 1);
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(uint8_t(four ? (k % 2 ? value & 15 : value >> 4) : value));
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // move right and up
            x += bits.U8(i);
            y += bits.U8(i + 1);
            i += 2;
        } else { // value pixels as they are, padded to a 16-bit boundary
            const int64_t bytes = four ? (value + 1) / 2 : value;
            if (!bits.Fits(i, bytes)) break;
            for (int k = 0; k < value; ++k) {
                const uint8_t b = bits.U8(i + (four ? k / 2 : k));
                put(uint8_t(four ? (k % 2 ? b & 15 : b >> 4) : b));
            }
            i += bytes + (bytes & 1);
        }
    }
    return index;
}

} // namespace

int64_t KpDibInfoSize(const TKpLeReader& packed) {
    const DibHeader h = readHeader(packed);
    if (!h.headerSize) return -1;
    const int64_t size = h.headerSize + h.colors * h.colorBytes;
    return packed.Fits(0, size) ? size : -1;
}

QImage KpDibImage(const TKpLeReader& info, const TKpLeReader& bits, bool keepAlpha) {
    const DibHeader h = readHeader(info);
    if (!h.ok || !info.Fits(h.headerSize, h.colors * h.colorBytes)) return {};
    const int64_t height = h.height < 0 ? -h.height : h.height;
    const int64_t stride = ((h.width * h.bpp + 31) / 32) * 4;
    const bool rle = h.compression == 1 || h.compression == 2;
    if (!rle && !bits.Fits(0, stride * height)) return {};
    QList<QRgb> table;
    for (int64_t i = 0; i < h.colors; ++i) {
        const int64_t o = h.headerSize + i * h.colorBytes;
        table << qRgb(info.U8(o + 2), info.U8(o + 1), info.U8(o));
    }
    const auto colour = [&](uint32_t index) {
        return index < uint32_t(table.size()) ? table[index] : qRgb(0, 0, 0);
    };
    if (rle) {
        // A few bytes of runs may claim a huge bitmap: the size stays in proportion to them.
        if (h.width * height > 1024 * bits.Size() + 4096) return {};
        QImage image(int(h.width), int(height), QImage::Format_RGB32);
        if (image.isNull()) return {};
        const std::vector<uint8_t> index = decodeRle(h, bits);
        for (int64_t y = 0; y < height; ++y) {
            QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(int(height - 1 - y)));
            for (int64_t x = 0; x < h.width; ++x)
                out[x] = colour(index[size_t(y * h.width + x)]);
        }
        return image;
    }
    const bool alpha = keepAlpha && h.bpp == 32;
    QImage image(int(h.width), int(height),
                 alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) return {};
    const unsigned char* data = bits.Data();
    for (int64_t y = 0; y < height; ++y) {
        const unsigned char* row = data + (h.height > 0 ? height - 1 - y : y) * stride;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (int64_t x = 0; x < h.width; ++x) {
            uint32_t index = 0;
            switch (h.bpp) {
            case 1:
                index = (row[x / 8] >> (7 - x % 8)) & 1;
                break;
            case 4:
                index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
                break;
            case 8:
                index = row[x];
                break;
            case 16: {
                const uint32_t v = row[2 * x] | (row[2 * x + 1] << 8);
                out[x] =
                    qRgb(channel(v, h.masks[0]), channel(v, h.masks[1]), channel(v, h.masks[2]));
                continue;
            }
            case 24:
                out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                continue;
            default: {
                const uint32_t v = uint32_t(row[4 * x]) | (uint32_t(row[4 * x + 1]) << 8) |
                                   (uint32_t(row[4 * x + 2]) << 16) |
                                   (uint32_t(row[4 * x + 3]) << 24);
                out[x] =
                    qRgb(channel(v, h.masks[0]), channel(v, h.masks[1]), channel(v, h.masks[2]));
                continue;
            }
            }
            out[x] = colour(index);
        }
    }
    return image;
}

} // namespace kp
