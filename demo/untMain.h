#pragma once
// The demonstration's main window: a column of feature buttons, the preview with its
// navigation and zoom bar and thumbnail strip, and a tab per feature.
#include <functional>
#include <memory>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QSpinBox>
#include <QStringList>
#include <QTabWidget>
#include <QToolButton>

#include "content/KpGridPrint.h"
#include "content/KpImageList.h"
#include "content/KpLabelPrinter.h"
#include "content/KpRtfPreview.h"
#include "content/KpStringGrid.h"
#include "content/KpTreeView.h"
#include "content/KpTreeViewPrint.h"
#include "drawing/KpMargins.h"
#include "preview/KpPreview.h"
#include "richtext/KpRichEdit.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

class TfrmAbout;
class TFindBar;
class TTabRows;
class TfrmPrint;
class QPushButton;

// A label that shows a link (blue, underlined, hand cursor) and runs OnClick when clicked.
class TLinkLabel : public QLabel {
public:
    TLinkLabel(const QString& text, QWidget* parent);
    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TfrmMain : public QMainWindow {
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The other two program windows (created after this one, kept for the program's life).
    void SetWindows(TfrmAbout* about, TfrmPrint* print);

    // The demos a name runs (as the window's button or tab does), in a fixed order.
    struct DemoEntry {
        const char* name;
        std::function<void(TfrmMain&)> run;
    };
    static const std::vector<DemoEntry>& Demos();
    static QStringList DemoNames();
    // Runs a demo by name; false for an unknown name.
    bool RunDemo(const QString& name);

    // Reads a document (either format version) into the preview, with progress; errors
    // propagate to the application's handler and the preview keeps what was read by then.
    void OpenDocument(const QString& fileName);
    // Writes the document in the native format, with progress.
    void SaveDocument(const QString& fileName);
    // Loads a rich text file into RichEdit1 (as plain text when cbFont is ticked) and lays it
    // out. A file that cannot be read or is not rich text raises before the preview is
    // touched, so it keeps what it had.
    void OpenRichText(const QString& fileName);
    // The rich text demo without its message box, then fileName laid out (the bundled
    // Paginor.rtf when empty): what an unattended run does.
    void RunRichTextDemo(const QString& fileName);
    // The sample rich text document that ships with the demo, in the program's resources.
    static QString BundledRtfResource();
    // An on-disk copy of it for the open dialog (written to the application's data folder on
    // first use); empty when no copy could be written.
    static QString BundledRtfFile();
    // The page counter and the strip's highlight, made to show the preview's current page
    // (a demo's Clear reports no page change).
    void ShowPagePosition();

    // Where the window shows messages and opens addresses; tests put recorders here.
    std::function<void(const QString& text)> ShowInformation;
    std::function<void(const QString& url)> OpenAddress;
    // Asks before a link of a page is opened; true: open it.
    std::function<bool(const QString& url)> ConfirmOpenLink;
    // The file dialogs of the open and save actions; an empty name is a cancel.
    std::function<QString()> ChooseOpenFile;
    std::function<QString()> ChooseSaveFile;
    // OpenDialog1: picks a rich text file, offering the bundled Paginor.rtf first.
    std::function<QString()> ChooseRtfFile;
    // The font dialog; returns false when cancelled.
    std::function<bool(QFont& font)> ChooseFont;
    // The rich text file the unattended rich text demo lays out; empty for Paginor.rtf.
    QString DemoRtfFile;
    // Loads and saves that take longer than this show a progress window.
    int ProgressDelayMs = 400;

    // Components, named as the designer named them.
    TKpPreview* KpPreview1;
    TKpThumbnails* KpThumbnails1;
    // The find bar over the navigation bar, opened by Ctrl+F (actFind).
    TFindBar* FindBar1;
    QAction* actFind;
    QTabWidget* PageControl1;
    QLabel* lblPageNum;
    QComboBox* cbxZoom;
    QComboBox* ComboBox1;
    // The preview's view: single page, facing pages or continuous (items in TKpViewMode order).
    QComboBox* cbxView = nullptr;
    QToolButton *SpeedButton1, *SpeedButton2, *SpeedButton27;
    QToolButton *SpeedButton3, *SpeedButton4, *SpeedButton25, *SpeedButton5, *SpeedButton6,
        *SpeedButton7, *SpeedButton8;
    TLinkLabel *lblAboutLink, *lblCanvasLink, *lblGraphicsLink, *lblRichTextLink, *lblGridLink,
        *lblTreeLink, *lblLabelLink;
    QToolButton *SpeedButton16, *SpeedButton17, *SpeedButton18, *SpeedButton19;
    QToolButton *SpeedButton20, *SpeedButton21, *SpeedButton22, *SpeedButton23, *SpeedButton24,
        *SpeedButton26;
    QToolButton *SpeedButton10, *SpeedButton11, *SpeedButton12, *SpeedButton13, *SpeedButton14,
        *SpeedButton15;
    TLinkLabel *Label15, *Label18, *Label21, *Label22;
    QLabel* Label20;
    QLabel *Image1, *Image2, *Image3, *Image5, *imgBarcode;
    QCheckBox *cbFont, *CheckBox2;
    QPushButton* sbFont;
    QLabel* pnlFont;
    QSpinBox *SpinEdit1, *SpinEdit2;
    TKpTreeView* TreeView1;
    TKpImageList* ImageList1;
    TKpStringGrid* StringGrid1;
    TKpRichEdit* RichEdit1;
    TKpRtfPreview* KpRtfPreview1;
    TKpGridPrint* KpGridPrint1;
    TKpTreeViewPrint* KpTreeViewPrint1;
    TKpLabelPrinter* KpLabelPrinter1;
    TTabRows* TabRows;
    // The font dialog's current font (Times New Roman, 10 pt, until the user picks another).
    QFont FontDialog1 = QFont(QStringLiteral("Times New Roman"), 10);
    QAction *actOpen, *actSave, *actAbout, *actCanvas, *actZoomIn, *actZoomOut, *actFitWidth,
        *actFitHeight, *actFitWholePage, *actRichText, *actOpenRtf, *actStringGrid, *actTreeView,
        *actLabel, *actZooming, *actPrint, *actPageSetup, *actExit, *actAboutBox;

    // The number the label callback prints on the next label.
    int LabelCount = 0;

    // Margins most demos copy into the preview before drawing.
    TKpMargins& SavedMargins() { return *savedMargins_; }

    // Pictures the demos draw.
    QImage Picture1, Picture2, Picture3, Picture5, PictureBarcode;

    // Handlers.
    void FormCreate();
    void FormShow();
    void PageControl1Change(int index);
    void KpPreview1Zoom(void* sender, int oldZoom, int newZoom);
    void cbxZoomChange(const QString& text);
    void KpPreview1PageChange(void* sender, int pageNum);
    void KpPreview1MouseDown(void* sender, TMouseButton button, TShiftState shift, int x, int y);
    void KpPreview1PageMouseDown(void* sender, TMouseButton button, TShiftState shift, TKpValue* x,
                                 TKpValue* y);
    void KpPreview1PageMouseMove(void* sender, TShiftState shift, TKpValue* x, TKpValue* y);
    void KpPreview1PageMouseUp(void* sender, TMouseButton button, TShiftState shift, TKpValue* x,
                               TKpValue* y);
    void KpPreview1LinkClick(void* sender, const QString& url);
    void ComboBox1Change(int index);
    void Label15Click();
    void Label18Click();
    void cbFontClick();
    void sbFontClick();
    void About1Click();
    void SpinEdit1Change(int rows);
    void SpinEdit2Change(int columns);
    void KpLabelPrinter1DrawLabel(void* sender, TKpCanvas* canvas);
    void PageSetupClick();
    // What the page setup dialog applies when confirmed (margins in millimetres).
    void ApplyPageSetup(TKpPaperSize paper, TKpOrientation orientation, double left, double top,
                        double right, double bottom);

    // Demos.
    void DrawPageTitle(const QString& text);
    void actAboutExecute();
    void actCanvasExecute();
    void SpeedButton25Click();
    void actZoomingExecute();
    void actRichTextExecute();
    void actOpenRtfExecute();
    void ShowRichText();
    void actStringGridExecute();
    void actTreeViewExecute();
    void actLabelExecute();
    void actPrintExecute();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QWidget* buildTopBar();
    QWidget* buildBottomBar();
    QWidget* buildLeftColumn();
    QWidget* buildNavigationBar();
    QWidget* buildTabs();
    // All tabs reachable at once: rows of tab buttons over the page control.
    QWidget* withTabRows(QTabWidget* tabs);
    void buildActions();
    void buildMenu();
    void wireHandlers();
    // Selects a tab without running its demo again.
    void selectTab(int index);
    // The rich text demo's steps before its message box.
    void startRichText();
    // The zoom edit shows the preview's zoom.
    void showZoom();
    // Keeps the toolbar's paper combo in step with the preview's paper size.
    void showPaperSize();
    // The view combo shows the preview's view mode.
    void showViewMode();

    std::unique_ptr<TKpMargins> savedMargins_;
    TfrmAbout* frmAbout = nullptr;
    TfrmPrint* frmPrint = nullptr;
    bool shown_ = false;
    bool selectingTab_ = false;
    // The zoom edit is being written from the preview, or the user's typing is being applied.
    bool zoomFromPreview_ = false;
    bool zoomTyping_ = false;
};
