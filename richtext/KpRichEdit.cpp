#include "richtext/KpRichEdit.h"

#include <cmath>

#include <QFile>
#include <QPointer>
#include <QStringDecoder>
#include <QTextDocument>

#include "platform/KpLimitedRead.h"
#include "richtext/KpRichTextLayout.h"
#include "richtext/KpRtfReader.h"

namespace kp {

namespace {

// Files beyond this size are refused rather than read into memory.
constexpr qint64 MaxFileSize = qint64(1) << 30;

QString DecodePlainText(const QByteArray& data) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    // Text that is not UTF-8 is taken as Latin-1, which never fails.
    if (utf8.hasError()) text = QString::fromLatin1(data);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

} // namespace

TKpRichEdit::TKpRichEdit(QWidget* parent)
    : QTextEdit(parent), textFont_(QStringLiteral("Arial"), 10) {
    connect(this, &QTextEdit::textChanged, this, &TKpRichEdit::contentChanged);
}

TKpRichEdit::~TKpRichEdit() = default;

void TKpRichEdit::contentChanged() {
    layout_.reset();
}

void TKpRichEdit::SetTextFont(const QFont& font) {
    textFont_ = font;
    // A pixel height is meant at the screen's 96 dpi; the print layout's device has 1440.
    if (font.pixelSize() > 0) textFont_.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    if (plainText_) {
        document()->setDefaultFont(textFont_);
        layout_.reset();
    }
}

bool TKpRichEdit::LoadFromFile(const QString& fileName, QString* error) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot open %1: %2").arg(fileName, file.errorString());
        return false;
    }
    QByteArray data;
    QString readError;
    if (!kp::ReadLimited(file, MaxFileSize, fileName, data, readError)) {
        if (error) *error = readError;
        return false;
    }
    if (!LoadFromData(data, error)) {
        if (error) *error = QStringLiteral("%1: %2").arg(fileName, *error);
        return false;
    }
    return true;
}

bool TKpRichEdit::LoadFromData(const QByteArray& data, QString* error) {
    if (plainText_) {
        geometry_ = {};
        warnings_.clear();
        document()->setDefaultFont(textFont_);
        setPlainText(DecodePlainText(data));
        layout_.reset();
        return true;
    }
    if (!LooksLikeRtf(data)) {
        if (error)
            *error = QStringLiteral("not a rich text (RTF) file (it does not begin with {\\rtf)");
        return false;
    }
    // The edit lays out what it is given at its own width, a second layout as costly as the
    // print layout (a long table or paragraph takes seconds). A hidden edit shows nothing, so
    // it gets the document empty and the text goes in with the edit's layout held back;
    // showing the edit lays it out.
    const QPointer<QTextDocument> old = document();
    auto* doc = new QTextDocument(this);
    setDocument(doc);
    if (!isVisible()) doc->setPageSize(QSizeF(0, 0));
    // The edit frees a document of its own making; one we gave it earlier is ours to free.
    if (old && old->parent() == this) delete old.data();
    const TKpRtfReadResult result = ReadRtf(data, *doc); // ok: the data looks like rich text
    const TKpRtfPageGeometry& g = result.geometry;
    geometry_ = {g.hasPaper,   g.paperWidth,  g.paperHeight, g.hasMargins,
                 g.marginLeft, g.marginRight, g.marginTop,   g.marginBottom};
    warnings_ = result.warnings;
    layout_.reset();
    return true;
}

void TKpRichEdit::showEvent(QShowEvent* event) {
    // A document read while the edit was hidden is laid out now (see LoadFromData).
    if (document()->pageSize().isNull()) setLineWrapColumnOrWidth(lineWrapColumnOrWidth());
    QTextEdit::showEvent(event);
}

int TKpRichEdit::TextLength() const {
    return std::max(0, document()->characterCount() - 1);
}

int TKpRichEdit::FormatRange(bool render, TKpFormatRange* range) {
    if (!range) {
        layout_.reset();
        return 0;
    }
    if (!layout_) layout_ = std::make_unique<TKpRichTextLayout>(*document());
    const int height = range->rc.Height();
    const TKpTextPage page = layout_->Page(range->cpMin, range->rc.Width(), height, range->cpMax);
    if (render && range->painter)
        layout_->Draw(*range->painter, page, range->rc.left, range->rc.top, range->dpiX,
                      range->dpiY);
    if (render && range->marks) layout_->Marks(page, range->rc.left, range->rc.top, *range->marks);
    const double used = std::min<double>(page.span.bottom - page.span.top, height);
    range->rc.bottom = range->rc.top + static_cast<int>(std::ceil(std::max(used, 0.0)));
    return page.next;
}

} // namespace kp
