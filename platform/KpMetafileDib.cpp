#include "platform/KpMetafileDib.h"

#include <algorithm>
#include <bit>

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
    h.ok = h.width > 0 && h.height != 0 && (h.compression == 0 || h.compression == 3);
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
    if (!bits.Fits(0, stride * height)) return {};
    QList<QRgb> table;
    for (int64_t i = 0; i < h.colors; ++i) {
        const int64_t o = h.headerSize + i * h.colorBytes;
        table << qRgb(info.U8(o + 2), info.U8(o + 1), info.U8(o));
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
            out[x] = index < uint32_t(table.size()) ? table[index] : qRgb(0, 0, 0);
        }
    }
    return image;
}

} // namespace kp
