#pragma once
// Rich text printing: lays the text of a rich text engine out onto the preview's pages, one
// vector picture of the page per preview page. The engine decides line and page breaks,
// fonts, tables and pictures; this component decides the text rectangle and the page loop.
#include "paginor/KpExport.h"

#include <memory>

#include "content/KpContentPrinter.h"
#include "richtext/KpFormatRange.h"

namespace kp {

class TKpFont;

using TKpRtfNewPageEvent = TKpContentNewPageEvent;

class PAGINOR_EXPORT TKpRtfPreview : public TKpContentPrinter {
    Q_OBJECT
    // Published properties (property editors, form files); the margins in KpUnits.
    Q_PROPERTY(int TopMargin READ topMarginUnits WRITE setTopMarginUnits)
    Q_PROPERTY(int BottomMargin READ bottomMarginUnits WRITE setBottomMarginUnits)
public:
    explicit TKpRtfPreview(QObject* owner = nullptr);
    ~TKpRtfPreview() override;

    // Kept with the component for hosts that print plain text files.
    TKpFont& TextFileFont() { return *textFileFont_; }
    void SetTextFileFont(const TKpFont& font);
    // Distances of the text's top and bottom edges from the paper's edges; they replace the
    // preview's own top and bottom margins.
    TKpValue& TopMargin() { return *topMargin_; }
    TKpValue& BottomMargin() { return *bottomMargin_; }

    // Fired after each new page; the text rectangle follows the margins it leaves. A handler
    // that points Preview elsewhere ends the run: the pages laid out so far stay.
    TKpRtfNewPageEvent OnNewPage;

    // Replaces the preview's document with the engine's text. Does nothing without a preview.
    void PrintRichEdit(TKpRichTextEngine& richEdit);

    // The text rectangle in twips on a surface of dpiX × dpiY pixels per inch: the preview's
    // left and right margins, TopMargin and BottomMargin.
    TKpTwipsRect TextRect(int dpiX, int dpiY) const;

private:
    int topMarginUnits() const;
    void setTopMarginUnits(int v);
    int bottomMarginUnits() const;
    void setBottomMarginUnits(int v);

    std::unique_ptr<TKpFont> textFileFont_;
    std::unique_ptr<TKpValue> topMargin_;
    std::unique_ptr<TKpValue> bottomMargin_;
};

} // namespace kp
