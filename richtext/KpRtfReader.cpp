#include "richtext/KpRtfReader.h"

#include <exception>

#include <QTextDocument>

#include "richtext/KpRtfParser.h"

namespace kp {

namespace {

// Where "{\rtf" starts, after an optional UTF-8 byte order mark and white space; -1 if not.
qsizetype RtfStart(const QByteArray& data) {
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf") ? i : -1;
}

// Keeps the document's undo stack out of the reading, and restores it after.
class TUndoOff {
public:
    explicit TUndoOff(QTextDocument& doc) : doc_(doc), was_(doc.isUndoRedoEnabled()) {
        doc_.setUndoRedoEnabled(false);
    }
    ~TUndoOff() { doc_.setUndoRedoEnabled(was_); }
    TUndoOff(const TUndoOff&) = delete;
    TUndoOff& operator=(const TUndoOff&) = delete;

private:
    QTextDocument& doc_;
    bool was_;
};

} // namespace

bool LooksLikeRtf(const QByteArray& data) {
    return RtfStart(data) >= 0;
}

TKpRtfReadResult ReadRtf(const QByteArray& data, QTextDocument& doc) {
    TKpRtfReadResult result;
    const qsizetype start = RtfStart(data);
    if (start < 0) {
        result.ok = false;
        result.warnings << QStringLiteral("The data is not rich text (it does not start with "
                                          "\"{\\rtf\").");
        return result;
    }
    TUndoOff undoOff(doc);
    doc.clear();
    try {
        kp::rtf::TRtfParser parser(data, start, doc);
        parser.Run();
        result.warnings = parser.Warnings();
        result.geometry = parser.Geometry();
    } catch (const std::exception&) { // out of memory: keep what was read
        result.warnings << QStringLiteral("Reading stopped early: not enough memory.");
    }
    return result;
}

} // namespace kp
