#include "richtext/KpRtfReader.h"

#include <exception>

#include <QTextDocument>

#include "platform/KpStateGuard.h"
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
    // The document's undo stack stays out of the reading, and is as it was after.
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    const TKpScopeExit restoreUndo([&doc, undo] { doc.setUndoRedoEnabled(undo); });
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
