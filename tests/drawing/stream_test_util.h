#pragma once
// Helpers of the document file tests: bytes written by hand (little-endian), and a linked
// control that records notification messages.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include "drawing/KpDocument.h"
#include "drawing/KpMessages.h"

using namespace kp;

namespace streamtest {

class Bytes {
public:
    Bytes& i32(int32_t v) {
        for (int k = 0; k < 4; ++k)
            b_.append(static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF));
        return *this;
    }
    Bytes& u8(uint8_t v) {
        b_.append(static_cast<char>(v));
        return *this;
    }
    Bytes& hex(std::initializer_list<int> bytes) {
        for (int v : bytes)
            b_.append(static_cast<char>(v));
        return *this;
    }
    Bytes& raw(const QByteArray& a) {
        b_.append(a);
        return *this;
    }
    Bytes& str(const char* s) {
        i32(static_cast<int32_t>(std::strlen(s)));
        b_.append(s);
        return *this;
    }
    Bytes& chunk(const Bytes& content) {
        i32(static_cast<int32_t>(content.b_.size()));
        b_.append(content.b_);
        return *this;
    }
    // The compiler's own nearest long double, when that is the 80-bit format.
    Bytes& x87(long double v) {
        char bytes[16] = {};
        std::memcpy(bytes, &v, sizeof v < 16 ? sizeof v : 16);
        b_.append(bytes, 10);
        return *this;
    }
    const QByteArray& data() const { return b_; }
    operator QByteArray() const { return b_; }

private:
    QByteArray b_;
};

inline bool LongDoubleIsX87() {
    return std::numeric_limits<long double>::digits == 64 &&
           std::numeric_limits<long double>::max_exponent == 16384;
}

inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

class MessageRecorder : public QObject {
public:
    std::vector<std::pair<int, long long>> messages;
    bool event(QEvent* e) override {
        if (e->type() == TKpMessageEvent::EventType()) {
            const auto* m = static_cast<TKpMessageEvent*>(e);
            messages.emplace_back(m->Msg, m->WParam);
            return true;
        }
        return QObject::event(e);
    }
};

// A whole document saved to bytes, and loaded back from them.
template <class Doc> QByteArray SaveBytes(Doc& p) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    p.SaveToStream(buffer);
    return data;
}

template <class Doc> void LoadBytes(Doc& p, QByteArray data) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    p.LoadFromStream(buffer);
}

} // namespace streamtest
