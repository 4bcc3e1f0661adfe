#pragma once
// Splits rich text bytes into groups, control words, control symbols, hex bytes and text runs.
// Every call to Next consumes at least one byte, so a pass over the data is linear.
#include <cstdint>
#include <string_view>

#include <QByteArray>

namespace kp {

namespace rtf {

constexpr int kMaxWordLetters = 32;

enum class TTokenKind { End, GroupOpen, GroupClose, ControlWord, ControlSymbol, HexByte, Text };

struct TToken {
    TTokenKind kind = TTokenKind::End;
    std::string_view word; // control word letters, at most kMaxWordLetters
    bool tooLong = false;  // the word had more letters than that; it is not recognised
    bool hasParam = false; // control word with a numeric parameter
    int param = 0;         // clamped to 32 bits
    char symbol = 0;       // control symbol (a newline after '\' reads as '\n')
    uint8_t byte = 0;      // \'hh
    std::string_view text; // a run of text bytes, without line ends and control characters
};

class TRtfTokenizer {
public:
    explicit TRtfTokenizer(const QByteArray& data, qsizetype start = 0);

    TToken Next();
    // The next count bytes as binary data (\binN), fewer when the data ends first.
    std::string_view ReadBinary(int64_t count);
    // True when nothing but white space and NUL bytes is left.
    bool OnlyBlankLeft() const;
    // The byte offset of what Next reads next.
    qsizetype Position() const { return pos_; }

    // Faults met so far.
    int longWords = 0;
    int clampedNumbers = 0;
    int badHex = 0;
    int shortBinary = 0;

private:
    TToken ReadControl();

    const char* data_;
    qsizetype size_;
    qsizetype pos_;
};

} // namespace rtf

} // namespace kp
