#pragma once
// Small metafiles written record by record for the player's tests and benchmark.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include <QByteArray>
#include <QString>

namespace mfw {

struct Bytes {
    QByteArray b;
    Bytes& u8(uint8_t v) {
        b.append(char(v));
        return *this;
    }
    Bytes& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& f32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    Bytes& utf16(const QString& s) {
        for (QChar c : s)
            u16(c.unicode());
        return *this;
    }
    Bytes& pad4() {
        while (b.size() % 4)
            u8(0);
        return *this;
    }
};

inline void put32(QByteArray& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// Enhanced metafile on a 96 dpi reference device (960 px over 254 mm); the frame is in
// 0.01 mm, 2540 to the inch.
class Emf {
public:
    explicit Emf(int frameW = 5080, int frameH = 5080) {
        Bytes h;
        h.u32(1).u32(88);
        h.u32(0).u32(0).u32(frameW * 96 / 2540 - 1).u32(frameH * 96 / 2540 - 1);
        h.u32(0).u32(0).u32(frameW).u32(frameH);
        h.u32(0x464D4520).u32(0x10000).u32(0).u32(0).u16(1).u16(0).u32(0).u32(0).u32(0);
        h.u32(960).u32(960).u32(254).u32(254);
        bytes_ = h.b;
        records_ = 1;
    }
    // A record of the given type whose body is these 32-bit values.
    Emf& rec(uint32_t type, std::initializer_list<int32_t> values) {
        Bytes body;
        for (int32_t v : values)
            body.u32(uint32_t(v));
        return raw(type, body.b);
    }
    Emf& raw(uint32_t type, QByteArray body) {
        while (body.size() % 4)
            body.append('\0');
        Bytes r;
        r.u32(type).u32(uint32_t(body.size() + 8));
        bytes_ += r.b + body;
        ++records_;
        return *this;
    }
    // Text at (x, y) with the given options and, when given, one advance per character.
    Emf& text(int x, int y, const QString& s, std::initializer_list<int32_t> dx = {},
              uint32_t options = 0, int l = 0, int t = 0, int r = 0, int b = 0) {
        Bytes body;
        body.u32(0).u32(0).u32(0).u32(0).u32(1).f32(0).f32(0); // bounds, mode, scales
        const int offString = 76, strBytes = int(s.size()) * 2;
        const int offDx = dx.size() ? offString + ((strBytes + 3) & ~3) : 0;
        body.u32(uint32_t(x)).u32(uint32_t(y)).u32(uint32_t(s.size())).u32(offString);
        body.u32(options).u32(uint32_t(l)).u32(uint32_t(t)).u32(uint32_t(r)).u32(uint32_t(b));
        body.u32(uint32_t(offDx));
        body.utf16(s).pad4();
        for (int32_t d : dx)
            body.u32(uint32_t(d));
        return raw(84, body.b);
    }
    // The 8-bit form of text, without advances.
    Emf& textA(int x, int y, const QByteArray& s, std::initializer_list<int32_t> dx = {}) {
        Bytes body;
        body.u32(0).u32(0).u32(0).u32(0).u32(1).f32(0).f32(0);
        const int offString = 76;
        const int offDx = dx.size() ? offString + ((int(s.size()) + 3) & ~3) : 0;
        body.u32(uint32_t(x)).u32(uint32_t(y)).u32(uint32_t(s.size())).u32(offString);
        body.u32(0).u32(0).u32(0).u32(0).u32(0).u32(uint32_t(offDx));
        body.b += s;
        body.pad4();
        for (int32_t d : dx)
            body.u32(uint32_t(d));
        return raw(83, body.b);
    }
    // A bit block transfer of a w x h bitmap to (x, y), stretched to cx x cy when stretch.
    Emf& blit(bool stretch, int x, int y, int cx, int cy, int w, int h,
              std::initializer_list<uint32_t> px, uint32_t rop = 0x00CC0020, uint32_t type = 0) {
        Bytes info, bits;
        dib(info, bits, w, h, px);
        const uint32_t head = stretch ? 108 : 100;
        Bytes body;
        body.u32(0).u32(0).u32(0).u32(0);
        body.u32(uint32_t(x)).u32(uint32_t(y)).u32(uint32_t(cx)).u32(uint32_t(cy)).u32(rop);
        body.u32(0).u32(0).f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0).u32(0);
        body.u32(head).u32(uint32_t(info.b.size())).u32(uint32_t(head + info.b.size()));
        body.u32(uint32_t(bits.b.size()));
        if (stretch) body.u32(uint32_t(w)).u32(uint32_t(h));
        return raw(type ? type : stretch ? 77 : 76, body.b + info.b + bits.b);
    }
    Emf& font(int index, int height, int escapement = 0, const QString& face = "DejaVu Sans") {
        Bytes body;
        body.u32(uint32_t(index)).u32(uint32_t(height)).u32(0).u32(uint32_t(escapement));
        body.u32(uint32_t(escapement)).u32(400).u32(0).u32(0);
        QString name = face.left(31);
        body.utf16(name);
        for (int i = int(name.size()); i < 32; ++i)
            body.u16(0);
        return raw(82, body.b);
    }
    // A 24-bit bottom-up bitmap of w x h from top-down rows of colours (0xRRGGBB).
    static void dib(Bytes& info, Bytes& bits, int w, int h, std::initializer_list<uint32_t> px) {
        info.u32(40).u32(uint32_t(w)).u32(uint32_t(h)).u16(1).u16(24).u32(0).u32(0);
        info.u32(0).u32(0).u32(0).u32(0);
        const uint32_t* p = px.begin();
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t c = p[y * w + x];
                bits.u8(c & 0xFF).u8((c >> 8) & 0xFF).u8((c >> 16) & 0xFF);
            }
            bits.pad4();
        }
    }
    Emf& stretchDib(int x, int y, int cx, int cy, int w, int h, std::initializer_list<uint32_t> px,
                    uint32_t rop = 0x00CC0020) {
        Bytes info, bits;
        dib(info, bits, w, h, px);
        Bytes body;
        body.u32(0).u32(0).u32(0).u32(0);
        body.u32(uint32_t(x)).u32(uint32_t(y)).u32(0).u32(0).u32(uint32_t(w)).u32(uint32_t(h));
        body.u32(80).u32(uint32_t(info.b.size())).u32(uint32_t(80 + info.b.size()));
        body.u32(uint32_t(bits.b.size())).u32(0).u32(rop).u32(uint32_t(cx)).u32(uint32_t(cy));
        return raw(81, body.b + info.b + bits.b);
    }
    QByteArray done() {
        rec(14, {0, 0, 20});
        QByteArray out = bytes_;
        put32(out, 48, uint32_t(out.size()));
        put32(out, 52, uint32_t(records_));
        return out;
    }
    QByteArray bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    int records_ = 0;
};

// 16-bit metafile, with the placeable header when a box is given.
class Wmf {
public:
    Wmf(bool placeable, int l = 0, int t = 0, int r = 0, int b = 0, int inch = 96) {
        Bytes h;
        if (placeable) {
            h.u32(0x9AC6CDD7).u16(0).u16(uint16_t(l)).u16(uint16_t(t)).u16(uint16_t(r));
            h.u16(uint16_t(b)).u16(uint16_t(inch)).u32(0).u16(0);
        }
        h.u16(1).u16(9).u16(0x300).u32(0).u16(16).u32(0).u16(0);
        bytes_ = h.b;
    }
    // A record whose parameters are these 16-bit words, in file order.
    Wmf& rec(uint16_t fn, std::initializer_list<int> words) {
        Bytes body;
        for (int w : words)
            body.u16(uint16_t(w));
        return raw(fn, body.b);
    }
    Wmf& raw(uint16_t fn, QByteArray body) {
        if (body.size() % 2) body.append('\0');
        Bytes r;
        r.u32(uint32_t(3 + body.size() / 2)).u16(fn);
        bytes_ += r.b + body;
        return *this;
    }
    QByteArray done() {
        rec(0, {});
        return bytes_;
    }

private:
    QByteArray bytes_;
};

} // namespace mfw
