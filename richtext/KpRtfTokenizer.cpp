#include "richtext/KpRtfTokenizer.h"

#include <limits>

namespace kp {

namespace rtf {
namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
// Bytes that end a text run: syntax characters, line ends (ignored) and control characters
// other than the tab (dropped).
bool EndsText(char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == '\\' || c == '{' || c == '}' || (u < 0x20 && c != '\t');
}

} // namespace

TRtfTokenizer::TRtfTokenizer(const QByteArray& data, qsizetype start)
    : data_(data.constData()), size_(data.size()), pos_(start) {}

bool TRtfTokenizer::OnlyBlankLeft() const {
    for (qsizetype i = pos_; i < size_; ++i) {
        const char c = data_[i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0') return false;
    }
    return true;
}

std::string_view TRtfTokenizer::ReadBinary(int64_t count) {
    if (count <= 0) return {};
    const qsizetype left = size_ - pos_;
    if (count > left) {
        ++shortBinary;
        count = left;
    }
    std::string_view bytes(data_ + pos_, static_cast<size_t>(count));
    pos_ += static_cast<qsizetype>(count);
    return bytes;
}

TToken TRtfTokenizer::Next() {
    TToken t;
    while (pos_ < size_) {
        const char c = data_[pos_];
        if (c == '{') {
            ++pos_;
            t.kind = TTokenKind::GroupOpen;
            return t;
        }
        if (c == '}') {
            ++pos_;
            t.kind = TTokenKind::GroupClose;
            return t;
        }
        if (c == '\\') return ReadControl();
        if (EndsText(c)) { // line ends and other control characters carry no text
            ++pos_;
            continue;
        }
        const qsizetype start = pos_;
        while (pos_ < size_ && !EndsText(data_[pos_]))
            ++pos_;
        t.kind = TTokenKind::Text;
        t.text = std::string_view(data_ + start, static_cast<size_t>(pos_ - start));
        return t;
    }
    return t; // End
}

TToken TRtfTokenizer::ReadControl() {
    TToken t;
    ++pos_;                      // the backslash
    if (pos_ >= size_) return t; // a lone backslash at the end: nothing more to read
    const char c = data_[pos_];
    if (IsLetter(c)) {
        const qsizetype start = pos_;
        while (pos_ < size_ && IsLetter(data_[pos_]))
            ++pos_;
        qsizetype letters = pos_ - start;
        if (letters > kMaxWordLetters) {
            ++longWords;
            t.tooLong = true;
            letters = kMaxWordLetters;
        }
        t.kind = TTokenKind::ControlWord;
        t.word = std::string_view(data_ + start, static_cast<size_t>(letters));
        // A parameter: an optional '-' directly followed by digits. Every digit is consumed,
        // the value saturates at the 32-bit limits.
        bool negative = false;
        if (pos_ + 1 < size_ && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        if (pos_ < size_ && IsDigit(data_[pos_])) {
            constexpr int64_t kLimit = int64_t(std::numeric_limits<int>::max()) + 1;
            int64_t value = 0;
            bool clamped = false;
            while (pos_ < size_ && IsDigit(data_[pos_])) {
                if (value <= kLimit) value = value * 10 + (data_[pos_] - '0');
                ++pos_;
            }
            if (negative) value = -value;
            if (value > std::numeric_limits<int>::max()) {
                value = std::numeric_limits<int>::max();
                clamped = true;
            } else if (value < std::numeric_limits<int>::min()) {
                value = std::numeric_limits<int>::min();
                clamped = true;
            }
            if (clamped) ++clampedNumbers;
            t.hasParam = true;
            t.param = static_cast<int>(value);
        }
        if (pos_ < size_ && data_[pos_] == ' ') ++pos_; // the delimiting space belongs to the word
        return t;
    }
    ++pos_;
    if (c == '\'') {
        const int hi = pos_ < size_ ? HexValue(data_[pos_]) : -1;
        if (hi < 0) {
            ++badHex;
            t.kind = TTokenKind::ControlSymbol; // symbol 0: nothing
            return t;
        }
        ++pos_;
        const int lo = pos_ < size_ ? HexValue(data_[pos_]) : -1;
        if (lo < 0) {
            ++badHex;
            t.kind = TTokenKind::ControlSymbol;
            return t;
        }
        ++pos_;
        t.kind = TTokenKind::HexByte;
        t.byte = static_cast<uint8_t>(hi * 16 + lo);
        return t;
    }
    t.kind = TTokenKind::ControlSymbol;
    t.symbol = (c == '\r') ? '\n' : c;
    return t;
}

} // namespace rtf

} // namespace kp
