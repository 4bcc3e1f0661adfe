#pragma once
// The rich text control: a text edit that loads rich text (RTF) or plain text files and
// renders its text page by page for printing (see KpFormatRange.h). A host may show it; the
// demo keeps it hidden and only prints from it.
#include "paginor/KpExport.h"

#include <memory>

#include <QFont>
#include <QStringList>
#include <QTextEdit>

#include "richtext/KpFormatRange.h"

namespace kp {

class TKpRichTextLayout;

// Paper and margins a file asks for, in twips.
struct PAGINOR_EXPORT TKpRichEditGeometry {
    bool hasPaper = false;
    int paperWidth = 0, paperHeight = 0;
    bool hasMargins = false;
    int marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
};

class PAGINOR_EXPORT TKpRichEdit : public QTextEdit, public TKpRichTextEngine {
    Q_OBJECT
public:
    explicit TKpRichEdit(QWidget* parent = nullptr);
    ~TKpRichEdit() override;

    // In plain-text mode files load as text in TextFont; otherwise as rich text.
    bool PlainText() const { return plainText_; }
    void SetPlainText(bool v) { plainText_ = v; }
    // The font of plain text; setting it restyles the text when the control is in plain mode.
    QFont TextFont() const { return textFont_; }
    void SetTextFont(const QFont& font);

    // Loads a file by the current mode. False with a one-line reason when the file cannot
    // be read or is not rich text (the file reason names the file); the control then keeps
    // its previous text.
    bool LoadFromFile(const QString& fileName, QString* error = nullptr);
    bool LoadFromData(const QByteArray& data, QString* error = nullptr);
    // What the last rich text file said about its paper and margins, and what it could not read.
    const TKpRichEditGeometry& Geometry() const { return geometry_; }
    const QStringList& Warnings() const { return warnings_; }

    int TextLength() const override;
    int FormatRange(bool render, TKpFormatRange* range) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void contentChanged();

    bool plainText_ = false;
    QFont textFont_;
    TKpRichEditGeometry geometry_;
    QStringList warnings_;
    // The print layout, made at the first format range after a change.
    std::unique_ptr<TKpRichTextLayout> layout_;
};

} // namespace kp
