#pragma once
// Reading helpers shared by the rich text reader tests.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include "richtext/KpRtfReader.h"

using namespace kp;

// A file from tests/data/rtf; a missing one fails the test and says which file it was.
inline QByteArray RtfTestFile(const char* name) {
    QFile f(QStringLiteral(PAGINOR_TEST_DATA_DIR "/rtf/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "test data missing: " << f.fileName().toStdString();
        return {};
    }
    return f.readAll();
}

inline void AppendFrameText(QTextFrame* frame, QString& out);

// The text of a block list: one line per block.
inline void AppendBlocks(QTextFrame::iterator it, QString& out) {
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            AppendFrameText(child, out);
        } else {
            out += it.currentBlock().text();
            out += QLatin1Char('\n');
        }
    }
}

// A table reads row by row, each cell followed by a tab; a row ends the line.
inline void AppendFrameText(QTextFrame* frame, QString& out) {
    if (auto* table = qobject_cast<QTextTable*>(frame)) {
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                QString cellText;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (QTextFrame* child = it.currentFrame()) {
                        AppendFrameText(child, cellText);
                    } else {
                        if (!cellText.isEmpty()) cellText += QLatin1Char('\n');
                        cellText += it.currentBlock().text();
                    }
                }
                out += cellText + QLatin1Char('\t');
            }
            out += QLatin1Char('\n');
        }
        return;
    }
    AppendBlocks(frame->begin(), out);
}

inline QString DocumentText(QTextDocument& doc) {
    QString out;
    AppendFrameText(doc.rootFrame(), out);
    return out;
}

// Reads a snippet; the text of its blocks without the line ends' last one.
struct TRtfRead {
    QTextDocument doc;
    TKpRtfReadResult result;
    explicit TRtfRead(const QByteArray& rtf) { result = ReadRtf(rtf, doc); }
    QString Text() {
        QString t = DocumentText(doc);
        if (t.endsWith(QLatin1Char('\n'))) t.chop(1);
        return t;
    }
    // The character format at a text's first character.
    QTextCharFormat FormatAt(const QString& text) {
        const QTextCursor c = doc.find(text);
        if (c.isNull()) return {};
        QTextCursor at(&doc);
        at.setPosition(c.selectionStart() + 1);
        return at.charFormat();
    }
    QTextBlock BlockWith(const QString& text) {
        const QTextCursor c = doc.find(text);
        return c.isNull() ? QTextBlock() : c.block();
    }
};
