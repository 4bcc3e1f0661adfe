// The demos that lay content out through the content printers: rich text, the string grid,
// the tree view and sheets of labels; and the sample rich text document that ships with the
// demo. Positions are in millimetres unless they say KpUnits.
#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "demo/untMain.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "platform/KpLimitedRead.h"

using namespace kp;

namespace {

// While a demo builds its document the strip and the page display wait; they come back on
// when the scope is left, also when building fails, so the window stays usable.
class TBuildingDocument {
public:
    explicit TBuildingDocument(TfrmMain& window) : window_(window) {
        window_.KpPreview1->AutoRefresh = false;
        window_.KpThumbnails1->SetEnabled(false);
    }
    ~TBuildingDocument() {
        window_.KpPreview1->AutoRefresh = true;
        window_.KpThumbnails1->SetEnabled(true);
    }
    TBuildingDocument(const TBuildingDocument&) = delete;
    TBuildingDocument& operator=(const TBuildingDocument&) = delete;

private:
    TfrmMain& window_;
};

void showHeaderAndFooter(TKpPreview& p, bool visible) {
    p.Header().SetVisible(visible);
    p.Footer().SetVisible(visible);
}

} // namespace

// ---- rich text ----

QString TfrmMain::BundledRtfResource() {
    return QStringLiteral(":/demo/Paginor.rtf");
}

QString TfrmMain::BundledRtfFile() {
    QFile source(BundledRtfResource());
    if (!source.open(QIODevice::ReadOnly)) return QString();
    const QByteArray bytes = source.readAll();
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir)) return QString();
    const QString path = QDir(dir).filePath(QStringLiteral("Paginor.rtf"));
    QFile existing(path);
    QByteArray held;
    QString unreadable;
    if (existing.open(QIODevice::ReadOnly) &&
        kp::ReadLimited(existing, bytes.size(), path, held, unreadable) && held == bytes)
        return path;
    existing.close();
    // A copy from another version (or a damaged one) is replaced whole.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return QString();
    return path;
}

void TfrmMain::startRichText() {
    TKpPreview& p = *KpPreview1;
    p.FirstPage();
    p.Header().SetCaptionLeft(QStringLiteral("Paginor Rich Text Example"));
    p.Margins().Assign(SavedMargins());
    p.Clear();
    selectTab(2);
    showHeaderAndFooter(p, true);
    // Clear leaves page 1's old picture on display; show the empty page.
    p.RefreshPage();
}

void TfrmMain::actRichTextExecute() {
    startRichText();
    ShowInformation(
        QStringLiteral("Use the \"Open *.RTF File Button\" to open \n"
                       "a rich text document.\n\n"
                       "\"Paginor.rtf\" was supplied with this demo for this purpose."));
}

void TfrmMain::actOpenRtfExecute() {
    const QString file = ChooseRtfFile();
    if (file.isEmpty()) return;
    OpenRichText(file);
}

void TfrmMain::OpenRichText(const QString& fileName) {
    RichEdit1->SetPlainText(cbFont->isChecked());
    QString error;
    if (!RichEdit1->LoadFromFile(fileName, &error)) throw std::runtime_error(error.toStdString());
    ShowRichText();
    ShowPagePosition();
}

void TfrmMain::ShowRichText() {
    TKpPreview& p = *KpPreview1;
    TBuildingDocument building(*this);
    p.Clear();
    KpRtfPreview1->TopMargin().SetMillimeters(40);
    KpRtfPreview1->BottomMargin().SetMillimeters(40);
    if (RichEdit1->PlainText()) RichEdit1->SetTextFont(FontDialog1);
    KpRtfPreview1->PrintRichEdit(*RichEdit1);
    p.FirstPage();
}

void TfrmMain::RunRichTextDemo(const QString& fileName) {
    startRichText();
    ShowPagePosition();
    OpenRichText(fileName.isEmpty() ? BundledRtfResource() : fileName);
}

// ---- string grid ----

void TfrmMain::actStringGridExecute() {
    TKpPreview& p = *KpPreview1;
    p.FirstPage();
    selectTab(3);
    TBuildingDocument building(*this);
    p.Header().SetCaptionLeft(QStringLiteral("Paginor StringGrid Printing Example"));
    p.Margins().Assign(SavedMargins());
    p.Clear();
    showHeaderAndFooter(p, true);
    // Width 0 keeps the grid's own column widths.
    KpGridPrint1->PrintGrid(kpMillimeters, *StringGrid1, 20, 40, 0);
    p.AutoRefresh = true;
    p.FirstPage();
}

void TfrmMain::SpinEdit1Change(int rows) {
    const int before = StringGrid1->RowCount();
    StringGrid1->SetRowCount(rows);
    // New rows are numbered on as the first ones were.
    for (int r = before; r < rows; ++r)
        StringGrid1->SetCells(0, r, QString::asprintf("Cell (%d, %d)", 0, r + 1));
    actStringGrid->trigger();
}

void TfrmMain::SpinEdit2Change(int columns) {
    StringGrid1->SetColCount(columns);
    actStringGrid->trigger();
}

// ---- tree view ----

void TfrmMain::actTreeViewExecute() {
    TKpPreview& p = *KpPreview1;
    selectTab(4);
    p.FirstPage();
    p.Header().SetCaptionLeft(QStringLiteral("Paginor TreeView Printing Example"));
    p.Margins().Assign(SavedMargins());
    TBuildingDocument building(*this);
    p.SetZoom(70);
    p.Clear();
    showHeaderAndFooter(p, true);
    KpTreeViewPrint1->ExpandNodes = CheckBox2->isChecked();
    // Ends on the outline's last page.
    KpTreeViewPrint1->PrintTreeView(30, 40, *TreeView1, kpMillimeters);
}

// ---- labels ----

void TfrmMain::actLabelExecute() {
    TKpPreview& p = *KpPreview1;
    p.FirstPage();
    LabelCount = 1;
    {
        TBuildingDocument building(*this);
        p.Clear();
        p.FitWidth();
        selectTab(5);
        showHeaderAndFooter(p, false);
        // Kept the other way round from the other demos: the label printer is about to put
        // the template's margins into the preview.
        SavedMargins().Assign(p.Margins());
        // Assigning the preview lays out the first sheet on the current page.
        KpLabelPrinter1->SetPreview(KpPreview1);
        for (int sheet = 2; sheet <= 3; ++sheet) {
            p.NewPage();
            KpLabelPrinter1->PrintLabels();
        }
    }
    p.FirstPage();
}

void TfrmMain::KpLabelPrinter1DrawLabel(void*, TKpCanvas* canvas) {
    // The canvas origin is at the label's top-left corner; lengths are KpUnits.
    TKpCanvas& c = *canvas;
    c.Font().SetName(QStringLiteral("Times New Roman"));
    c.Font().SetSize(22);
    c.Font().SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsItalic));
    c.Font().SetColor(clRed);
    c.TextOut(500, 500, QStringLiteral("Label no. %1").arg(LabelCount), kpUnits);
    const int32_t w = c.GraphicWidth(&PictureBarcode).value;
    const int32_t h = c.GraphicHeight(&PictureBarcode).value;
    const int32_t labelWidth = KpLabelPrinter1->LabelWidth().value;
    const int32_t labelHeight = KpLabelPrinter1->LabelHeight().value;
    c.Draw(labelWidth - w - 300, labelHeight - h - 600, &PictureBarcode, 1, kpUnits);
    c.Font().SetStyle(0);
    c.Font().SetSize(8);
    c.Font().SetName(QStringLiteral("Arial"));
    c.Font().SetColor(clBlack);
    c.TextOut(400, labelHeight - h - 200, QStringLiteral("Add graphics..."), kpUnits);
    ++LabelCount;
}
