// The main window's construction: its bars, the feature column, the tabs, the menu and the
// actions, and the handlers of its controls. The demos themselves are in untMainDemos.cpp.
#include "demo/untMain.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

#include "demo/DemoApplication.h"
#include "demo/DemoLinks.h"
#include "demo/DemoPictures.h"
#include "demo/FindBar.h"
#include "demo/InfoMemo.h"
#include "demo/TabRows.h"
#include "demo/untAbout.h"
#include "demo/untPrint.h"
#include "demo/WindowFont.h"
#include "drawing/KpHeaderFooter.h"
#include "platform/KpStateGuard.h"
#include "preview/KpCursors.h"
#include "printing/KpPrinter.h"

using namespace kp;

// ---- small widgets ----

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
        OnClick();
}

namespace {

QToolButton* speedButton(QWidget* parent, const QString& glyph, const QString& text,
                         QSize size = QSize(25, 25)) {
    auto* b = new QToolButton(parent);
    if (!glyph.isEmpty()) {
        b->setIcon(DemoIcon(glyph));
        b->setIconSize(QSize(16, 16));
    }
    if (!text.isEmpty()) {
        b->setText(text);
        b->setToolButtonStyle(glyph.isEmpty() ? Qt::ToolButtonTextOnly
                                              : Qt::ToolButtonTextBesideIcon);
    }
    if (glyph.isEmpty() || text.isEmpty()) b->setFixedSize(size);
    b->setAutoRaise(true);
    return b;
}

QLabel* hiddenPicture(QWidget* parent, const QImage& image) {
    auto* l = new QLabel(parent);
    l->setPixmap(QPixmap::fromImage(image));
    l->hide();
    return l;
}

// The font dialog lists the faces that are installed, so it is given the face a font name
// stands for ("Times New Roman" may be drawn with a metric-compatible face).
QFont fontForDialog(const QFont& font) {
    QFont shown = font;
    shown.setFamily(QFontInfo(font).family());
    return shown;
}

// The dialog's choice; while the face stays the one the current name stands for, the name
// stays too, so documents keep naming the font as the demo does.
QFont fontFromDialog(const QFont& current, const QFont& chosen) {
    QFont font = chosen;
    if (chosen.family() == QFontInfo(current).family()) font.setFamily(current.family());
    return font;
}

TKpFont& setKpFont(TKpFont& f, const char* name, int size, TFontStyles style = 0,
                   TColor color = clBlack) {
    f.SetName(QString::fromLatin1(name));
    f.SetSize(size);
    f.SetStyle(style);
    f.SetColor(color);
    return f;
}

} // namespace

// ---- construction ----

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Paginor Demo - ") + MakerWebAddress());
    resize(798, 570);
    setFont(DemoWindowFont());
    ShowInformation = [this](const QString& text) {
        QMessageBox::information(this, windowTitle(), text);
    };
    OpenAddress = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
    ConfirmOpenLink = [this](const QString& url) {
        return QMessageBox::question(this, windowTitle(),
                                     QStringLiteral("Open this link?\n\n%1").arg(url)) ==
               QMessageBox::Yes;
    };
    ChooseOpenFile = [this] {
        QFileDialog dialog(this, QString(), QString(), QStringLiteral("KpPreview Files (*.kpp)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("kpp")); // a name typed without one gets ".kpp"
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().constFirst()
                   : QString();
    };
    ChooseSaveFile = [this] {
        QFileDialog dialog(this, QString(), QString(), QStringLiteral("KpPreview Files (*.kpp)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("kpp"));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().constFirst()
                   : QString();
    };
    ChooseRtfFile = [this] {
        QFileDialog dialog(this, QString(), QString(), QStringLiteral("Rich Text Files (*.rtf)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        // The sample document is offered first.
        const QString sample = BundledRtfFile();
        if (!sample.isEmpty()) {
            dialog.setDirectory(QFileInfo(sample).absolutePath());
            dialog.selectFile(sample);
        }
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().constFirst()
                   : QString();
    };
    ChooseFont = [this](QFont& font) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, fontForDialog(font), this);
        if (ok) font = fontFromDialog(font, chosen);
        return ok;
    };

    Picture1 = DemoPicture(QStringLiteral("Image1"));
    Picture2 = DemoPicture(QStringLiteral("Image2"));
    Picture3 = DemoPicture(QStringLiteral("Image3"));
    Picture5 = DemoPicture(QStringLiteral("Image5"));
    PictureBarcode = DemoPicture(QStringLiteral("Barcode"));

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(buildTopBar());

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(buildLeftColumn());

    auto* centre = new QVBoxLayout;
    centre->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    KpPreview1 = new TKpPreview(central);
    row->addWidget(KpPreview1, 1);
    buildTabs();
    row->addWidget(withTabRows(PageControl1));
    centre->addLayout(row, 1);
    FindBar1 = new TFindBar(KpPreview1, central);
    centre->addWidget(FindBar1);
    actFind = new QAction(QStringLiteral("Find..."), this);
    actFind->setObjectName(QStringLiteral("actFind"));
    actFind->setShortcut(QKeySequence::Find);
    addAction(actFind);
    connect(actFind, &QAction::triggered, FindBar1, [this] { FindBar1->Open(); });
    centre->addWidget(buildNavigationBar());
    KpThumbnails1 = new TKpThumbnails(central);
    KpThumbnails1->setFixedHeight(117);
    centre->addWidget(KpThumbnails1);
    middle->addLayout(centre, 1);
    outer->addLayout(middle, 1);
    outer->addWidget(buildBottomBar());
    setCentralWidget(central);

    // The preview's settings.
    TKpPreview& p = *KpPreview1;
    p.SetOrientation(kpPortrait);
    p.SetTitle(QStringLiteral("<document>"));
    p.ZoomStyle = kpFixedZoom;
    p.setToolTip(QStringLiteral("TKpPreview Component"));
    p.Header().SetCaptionLeft(QStringLiteral("Paginor Print Preview Components"));
    setKpFont(p.Header().CaptionLeftFont(), "Times New Roman", 26,
              FontStyleBit(fsBold) | FontStyleBit(fsItalic), clRed);
    setKpFont(p.Header().CaptionCenterFont(), "Arial", 12);
    setKpFont(p.Header().CaptionRightFont(), "Arial", 10);
    p.Header().SetVisible(true);
    p.Footer().SetCaptionLeft(MakerWebAddress());
    setKpFont(p.Footer().CaptionLeftFont(), "Arial", 10, FontStyleBit(fsUnderline), clBlue);
    p.Footer().SetCaptionRight(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    setKpFont(p.Footer().CaptionRightFont(), "Arial", 10);
    setKpFont(p.Footer().CaptionCenterFont(), "Arial", 12);
    p.Footer().SetVisible(true);
    for (TKpPen* pen : {&p.Margins().Pen(), &p.Margins().PrinterMarginPen()}) {
        pen->SetColor(clSilver);
        pen->SetStyle(psDot);
    }
    p.KpPrinter().SetDitherType(kpNone);
    p.KpPrinter().SetDuplex(kpSimplex);
    p.KpPrinter().SetPrintColor(kpMonochrome);
    p.KpPrinter().SetPrintQuality(kpDraft);

    // The strip's settings.
    KpThumbnails1->SetPreview(KpPreview1);
    KpThumbnails1->SetPageCaptions(QStringLiteral("Page #"));
    KpThumbnails1->SetThumbSize(3);

    // The content printers.
    KpRtfPreview1 = new TKpRtfPreview(this);
    KpRtfPreview1->SetPreview(KpPreview1);
    setKpFont(KpRtfPreview1->TextFileFont(), "Arial", 12);
    KpGridPrint1 = new TKpGridPrint(this);
    KpGridPrint1->SetPreview(KpPreview1);
    KpTreeViewPrint1 = new TKpTreeViewPrint(this);
    KpTreeViewPrint1->SetPreview(KpPreview1);
    setKpFont(KpTreeViewPrint1->Font(), "Arial", 8);
    // The label printer gets its preview from the label demo: setting it lays out a sheet.
    KpLabelPrinter1 = new TKpLabelPrinter(this);
    KpLabelPrinter1->SetTemplate(TLabelTemplate::L7161_Address);
    KpLabelPrinter1->LabelPen().SetColor(clSilver);
    KpLabelPrinter1->OnDrawLabel = [this](void* sender, TKpCanvas* canvas) {
        KpLabelPrinter1DrawLabel(sender, canvas);
    };

    buildActions();
    buildMenu();
    wireHandlers();
    FormCreate();
    // The document is set up: report the current page once.
    KpPreview1->Loaded();
}

TfrmMain::~TfrmMain() {
    // FormDestroy: the saved margins go with the window; the strip lets go of the preview
    // before either is freed.
    KpThumbnails1->SetPreview(nullptr);
    savedMargins_.reset();
}

QWidget* TfrmMain::buildTopBar() {
    auto* bar = new QWidget;
    bar->setFixedHeight(41);
    auto* l = new QHBoxLayout(bar);
    l->setContentsMargins(6, 4, 6, 4);
    SpeedButton1 = speedButton(bar, QStringLiteral("GlyphOpen"), QString(), QSize(33, 33));
    SpeedButton1->setToolTip(QStringLiteral("Open KpPreview File"));
    SpeedButton2 = speedButton(bar, QStringLiteral("GlyphSave"), QString(), QSize(33, 33));
    SpeedButton2->setToolTip(QStringLiteral("Save KpPreview File"));
    auto* separator = new QFrame(bar);
    separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    SpeedButton27 = speedButton(bar, QStringLiteral("GlyphPrint"), QString(), QSize(33, 33));
    SpeedButton27->setToolTip(QStringLiteral("Print"));
    l->addWidget(SpeedButton1);
    l->addWidget(SpeedButton2);
    l->addWidget(separator);
    l->addWidget(SpeedButton27);
    l->addStretch(1);
    Image1 = hiddenPicture(bar, Picture1);
    Image2 = hiddenPicture(bar, Picture2);
    Image3 = hiddenPicture(bar, Picture3);
    Image5 = hiddenPicture(bar, Picture5);
    return bar;
}

QWidget* TfrmMain::buildBottomBar() {
    auto* bar = new QWidget;
    bar->setFixedHeight(28);
    auto* l = new QHBoxLayout(bar);
    l->setContentsMargins(8, 2, 8, 2);
    Label22 = new TLinkLabel(MakerWebAddress(), bar);
    Label20 = new QLabel(
        QStringLiteral("Click on a thumbnail image to jump directly to that page."), bar);
    l->addWidget(Label22);
    l->addSpacing(24);
    l->addWidget(Label20);
    l->addStretch(1);
    return bar;
}

QWidget* TfrmMain::buildLeftColumn() {
    auto* box = new QScrollArea;
    box->setFixedWidth(137);
    box->setWidgetResizable(true);
    box->setFrameStyle(QFrame::NoFrame);
    auto* inside = new QWidget;
    inside->setAutoFillBackground(true);
    QPalette pal = inside->palette();
    pal.setColor(QPalette::Window, QColor(0x99, 0x99, 0x99));
    inside->setPalette(pal);
    auto* l = new QVBoxLayout(inside);
    l->setContentsMargins(4, 10, 4, 10);
    l->setSpacing(2);
    auto feature = [&](const QString& glyph, const QString& caption, QToolButton*& button,
                       TLinkLabel*& link) {
        button = new QToolButton(inside);
        button->setFixedSize(33, 33);
        button->setIcon(DemoIcon(glyph));
        button->setIconSize(QSize(28, 28));
        button->setToolTip(caption);
        link = new TLinkLabel(caption, inside);
        link->setAlignment(Qt::AlignHCenter);
        l->addWidget(button, 0, Qt::AlignHCenter);
        l->addWidget(link, 0, Qt::AlignHCenter);
        l->addSpacing(10);
    };
    feature(QStringLiteral("FeatureAbout"), QStringLiteral("About Paginor"), SpeedButton3,
            lblAboutLink);
    feature(QStringLiteral("FeatureCanvas"), QStringLiteral("Canvas Routines"), SpeedButton4,
            lblCanvasLink);
    feature(QStringLiteral("FeatureGraphics"), QStringLiteral("Graphics Support"), SpeedButton25,
            lblGraphicsLink);
    feature(QStringLiteral("FeatureRichText"), QStringLiteral("Rich Text Support"), SpeedButton5,
            lblRichTextLink);
    feature(QStringLiteral("FeatureGrid"), QStringLiteral("Printing TStringGrids"), SpeedButton6,
            lblGridLink);
    feature(QStringLiteral("FeatureTree"), QStringLiteral("Printing TTreeViews"), SpeedButton7,
            lblTreeLink);
    feature(QStringLiteral("FeatureLabel"), QStringLiteral("Avery Label Printing"), SpeedButton8,
            lblLabelLink);
    l->addStretch(1);
    box->setWidget(inside);
    return box;
}

QWidget* TfrmMain::buildNavigationBar() {
    auto* Panel10 = new QFrame;
    Panel10->setFixedHeight(37);
    Panel10->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* l = new QHBoxLayout(Panel10);
    l->setContentsMargins(6, 2, 6, 2);
    l->setSpacing(2);
    QFont navFont(QStringLiteral("Arial"));
    navFont.setPointSize(11);
    navFont.setBold(true);
    auto nav = [&](const char* text) {
        QToolButton* b = speedButton(Panel10, QString(), QString::fromLatin1(text), QSize(28, 25));
        b->setFont(navFont);
        return b;
    };
    SpeedButton16 = nav("|<");
    SpeedButton17 = nav("<");
    lblPageNum = new QLabel(QStringLiteral("# of #"), Panel10);
    lblPageNum->setMinimumWidth(70);
    lblPageNum->setAlignment(Qt::AlignCenter);
    SpeedButton18 = nav(">");
    SpeedButton19 = nav(">|");
    for (QWidget* w : {static_cast<QWidget*>(SpeedButton16), static_cast<QWidget*>(SpeedButton17),
                       static_cast<QWidget*>(lblPageNum), static_cast<QWidget*>(SpeedButton18),
                       static_cast<QWidget*>(SpeedButton19)})
        l->addWidget(w);
    l->addSpacing(16);
    SpeedButton20 = speedButton(Panel10, QStringLiteral("GlyphZoomIn"), QString());
    SpeedButton21 = speedButton(Panel10, QStringLiteral("GlyphZoomOut"), QString());
    SpeedButton22 = speedButton(Panel10, QStringLiteral("GlyphFitWidth"), QString());
    SpeedButton23 = speedButton(Panel10, QStringLiteral("GlyphFitHeight"), QString());
    SpeedButton24 = speedButton(Panel10, QStringLiteral("GlyphFitPage"), QString());
    SpeedButton26 = speedButton(Panel10, QStringLiteral("Glyph100"), QString());
    const char* tips[] = {"Zoom In",    "Zoom Out",       "Fit Width",
                          "Fit Height", "Fit Whole Page", "Zoom 100%"};
    int i = 0;
    for (QToolButton* b : {SpeedButton20, SpeedButton21, SpeedButton22, SpeedButton23,
                           SpeedButton24, SpeedButton26}) {
        b->setToolTip(QString::fromLatin1(tips[i++]));
        l->addWidget(b);
    }
    l->addSpacing(16);
    l->addWidget(new QLabel(QStringLiteral("Paper Size:"), Panel10));
    ComboBox1 = new QComboBox(Panel10);
    ComboBox1->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    ComboBox1->setCurrentIndex(0);
    l->addWidget(ComboBox1);
    l->addSpacing(16);
    l->addWidget(new QLabel(QStringLiteral("View:"), Panel10));
    cbxView = new QComboBox(Panel10);
    cbxView->setObjectName(QStringLiteral("cbxView"));
    cbxView->addItems({QStringLiteral("Single Page"), QStringLiteral("Facing Pages"),
                       QStringLiteral("Continuous")});
    cbxView->setToolTip(QStringLiteral("How many pages the preview shows at once"));
    l->addWidget(cbxView);
    l->addStretch(1);
    return Panel10;
}

QWidget* TfrmMain::buildTabs() {
    PageControl1 = new QTabWidget;
    PageControl1->setFixedWidth(301);
    PageControl1->tabBar()->setExpanding(false);
    PageControl1->setDocumentMode(false);
    PageControl1->setStyleSheet(QString());
    auto page = [this](const char* caption) {
        auto* w = new QWidget;
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(8, 8, 8, 8);
        PageControl1->addTab(w, QString::fromLatin1(caption));
        return l;
    };
    auto memo = [](QVBoxLayout* l, const QStringList& lines) {
        auto* m = new TInfoMemo(lines, l->parentWidget());
        l->addWidget(m);
        return m;
    };

    // 0: About
    QVBoxLayout* about = page("About Paginor");
    memo(about, {QStringLiteral("Paginor is a set of components for designing "),
                 QStringLiteral("and previewing/printing reports."), QString(),
                 QStringLiteral("The professional edition adds the source code,"),
                 QStringLiteral("more content printers and priority support."),
                 QStringLiteral("Ask us about it at the addresses below.")});
    Label18 = new TLinkLabel(MakerEmailAddress(), about->parentWidget());
    Label15 = new TLinkLabel(MakerWebAddress(), about->parentWidget());
    about->addWidget(Label18);
    about->addWidget(Label15);
    about->addStretch(1);

    // 1: Canvas routines
    QVBoxLayout* canvas = page("Canvas Routines");
    memo(canvas, {QStringLiteral("Paginor supports most TCanvas methods, and "),
                  QStringLiteral("extends most of them by allowing you to use..."),
                  QStringLiteral("  -  KpUnits (1/100 mm)"), QStringLiteral("  -  Pixels"),
                  QStringLiteral("  -  Millimeters"), QStringLiteral("  -  Centimenters"),
                  QStringLiteral("  -  Inches"), QString(),
                  QStringLiteral("There are also extra functions for..."),
                  QStringLiteral("  -  Rotated Text"), QStringLiteral("  -  Text boxes")});
    canvas->addStretch(1);

    // 2: Rich text
    QVBoxLayout* rich = page("Rich Text");
    QWidget* richPage = rich->parentWidget();
    memo(rich, {QStringLiteral("Paginor supports Rich Text documents with "),
                QStringLiteral("embedded graphics, tables etc...")});
    auto* openRow = new QHBoxLayout;
    SpeedButton15 = speedButton(richPage, QStringLiteral("GlyphRtfOpen"), QString());
    openRow->addWidget(SpeedButton15);
    openRow->addWidget(new QLabel(QStringLiteral("Open *.Rtf (rich text) File"), richPage));
    openRow->addStretch(1);
    rich->addLayout(openRow);
    cbFont = new QCheckBox(QStringLiteral("Draw as plain text."), richPage);
    cbFont->setChecked(false);
    rich->addWidget(cbFont);
    auto* fontRow = new QHBoxLayout;
    sbFont = new QPushButton(QStringLiteral("Font"), richPage);
    sbFont->setEnabled(false);
    pnlFont = new QLabel(QStringLiteral("AaBbCc"), richPage);
    QFont sample(QStringLiteral("Times New Roman"));
    sample.setPointSize(12);
    pnlFont->setFont(sample);
    pnlFont->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlFont->setAlignment(Qt::AlignCenter);
    pnlFont->setEnabled(false);
    fontRow->addWidget(sbFont);
    fontRow->addWidget(pnlFont, 1);
    rich->addLayout(fontRow);
    rich->addStretch(1);
    memo(rich, {QStringLiteral("When opening Rich Text files, you can also specify "),
                QStringLiteral("the Top and Bottom Rich Text margins.")});
    RichEdit1 = new TKpRichEdit(richPage);
    RichEdit1->hide();

    // 3: String grid printing
    QVBoxLayout* grid = page("TStringGrid Printing");
    QWidget* gridPage = grid->parentWidget();
    memo(grid, {QStringLiteral("Draw TStringGrid's to the page with automatic "),
                QStringLiteral("column resizing...")});
    StringGrid1 = new TKpStringGrid(gridPage);
    StringGrid1->SetRowCount(100);
    StringGrid1->SetColCount(10);
    StringGrid1->SetDefaultRowHeight(30);
    setKpFont(StringGrid1->Font(), "Arial", 8);
    StringGrid1->hide();
    // The spin edits show the grid's size and change it, within bounds.
    auto* form = new QFormLayout;
    SpinEdit1 = new QSpinBox(gridPage);
    SpinEdit1->setRange(1, 1000);
    SpinEdit1->setValue(StringGrid1->RowCount());
    SpinEdit2 = new QSpinBox(gridPage);
    SpinEdit2->setRange(1, 50);
    SpinEdit2->setValue(StringGrid1->ColCount());
    for (QSpinBox* s : {SpinEdit1, SpinEdit2})
        s->setKeyboardTracking(false); // typed digits apply when the value is complete
    form->addRow(QStringLiteral("No. StringGrid Rows:"), SpinEdit1);
    form->addRow(QStringLiteral("No. StringGrid Columns:"), SpinEdit2);
    grid->addLayout(form);
    grid->addStretch(1);

    // 4: Tree view printing
    QVBoxLayout* tree = page("TTreeView Printing");
    ImageList1 = new TKpImageList(16, 16, this);
    for (int i = 0; i < 5; ++i)
        ImageList1->Add(DemoPicture(QStringLiteral("Tree%1").arg(i)));
    TreeView1 = new TKpTreeView(tree->parentWidget());
    TreeView1->setIndentation(19);
    TreeView1->SetImages(ImageList1);
    auto item = [this](QTreeWidgetItem* parent, const char* text, int image) {
        return TreeView1->AddNode(parent, QString::fromLatin1(text), image);
    };
    QTreeWidgetItem* i1 = item(nullptr, "Item 1", 0);
    item(item(item(item(i1, "Sub Item 1", 1), "Sub Item 2", 0), "Sub Item 3", 0), "Sub Item 4", 0);
    QTreeWidgetItem* i2 = item(nullptr, "Item 2", 2);
    QTreeWidgetItem* s1 = item(i2, "Sub Item 1", 0);
    item(s1, "Sub Item 3", 1);
    item(s1, "Sub Item 2", 2);
    item(s1, "Sub Item 4", 3);
    item(s1, "Sub Item 5", 4);
    item(nullptr, "Item 3", 4);
    item(nullptr, "Item 4", 2);
    item(nullptr, "Item 5", 3);
    item(nullptr, "Item 6", 0);
    item(nullptr, "Item 7", 1);
    item(nullptr, "Item 8", 1);
    tree->addWidget(TreeView1, 1);
    CheckBox2 = new QCheckBox(QStringLiteral("Expand All"), tree->parentWidget());
    CheckBox2->setChecked(true);
    tree->addWidget(CheckBox2);

    // 5: Label printing
    QVBoxLayout* labels = page("Label Printing");
    memo(labels, {QStringLiteral("Paginor supports several Avery label "),
                  QStringLiteral("templates, and you can also specify your own label "),
                  QStringLiteral("sizes.")});
    memo(labels, {QStringLiteral("If you would like extra label templates to be included "),
                  QStringLiteral("in the next release, email the details to...")});
    Label21 = new TLinkLabel(MakerEmailAddress(), labels->parentWidget());
    labels->addWidget(Label21);
    imgBarcode = hiddenPicture(labels->parentWidget(), PictureBarcode);
    labels->addStretch(1);

    // 6: Zooming and panning
    QVBoxLayout* zoom = page("Zooming and Panning");
    QWidget* zoomPage = zoom->parentWidget();
    memo(zoom, {QStringLiteral("Preview Zooming and Panning controls..."), QString(),
                QStringLiteral("- Left Mouse Button zooms in"),
                QStringLiteral("- SHIFT + Left mouse button zooms out"),
                QStringLiteral("- Hold Right mouse button to scroll the page")});
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(new QLabel(QStringLiteral("Zoom:"), zoomPage));
    cbxZoom = new QComboBox(zoomPage);
    cbxZoom->setEditable(true);
    cbxZoom->addItems({QStringLiteral("10"), QStringLiteral("25"), QStringLiteral("50"),
                       QStringLiteral("75"), QStringLiteral("100"), QStringLiteral("150"),
                       QStringLiteral("200"), QStringLiteral("400")});
    cbxZoom->setEditText(QStringLiteral("100"));
    zoomRow->addWidget(cbxZoom);
    zoomRow->addWidget(new QLabel(QStringLiteral("%"), zoomPage));
    zoomRow->addStretch(1);
    zoom->addLayout(zoomRow);
    SpeedButton10 = speedButton(zoomPage, QStringLiteral("GlyphZoomIn"), QStringLiteral("Zoom In"));
    SpeedButton11 =
        speedButton(zoomPage, QStringLiteral("GlyphZoomOut"), QStringLiteral("Zoom Out"));
    SpeedButton13 =
        speedButton(zoomPage, QStringLiteral("GlyphFitWidth"), QStringLiteral("Fit Width"));
    SpeedButton12 =
        speedButton(zoomPage, QStringLiteral("GlyphFitHeight"), QStringLiteral("Fit Height"));
    SpeedButton14 =
        speedButton(zoomPage, QStringLiteral("GlyphFitPage"), QStringLiteral("Fit Whole Page"));
    for (QToolButton* b :
         {SpeedButton10, SpeedButton11, SpeedButton13, SpeedButton12, SpeedButton14})
        zoom->addWidget(b);
    zoom->addStretch(1);

    PageControl1->setCurrentIndex(3); // replaced by the About demo when the window shows
    return PageControl1;
}

void TfrmMain::buildActions() {
    auto action = [this](const char* name, const char* category, const QString& caption) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setProperty("category", QString::fromLatin1(category));
        return a;
    };
    actOpen = action("actOpen", "File", QStringLiteral("Open KpPreview File"));
    actSave = action("actSave", "File", QStringLiteral("Save KpPreview File"));
    actAbout = action("actAbout", "Tabs", QString());
    actCanvas = action("actCanvas", "Tabs", QString());
    actZoomIn = action("actZoomIn", "Zooming", QStringLiteral("Zoom &In"));
    actZoomOut = action("actZoomOut", "Zooming", QStringLiteral("Zoom Out"));
    actFitWidth = action("actFitWidth", "Zooming", QStringLiteral("Fit &Width"));
    actFitHeight = action("actFitHeight", "Zooming", QStringLiteral("Fit &Height"));
    actFitWholePage = action("actFitWholePage", "Zooming", QStringLiteral("&FitWholePage"));
    actRichText = action("actRichText", "Tabs", QString());
    actOpenRtf = action("actOpenRtf", "RichText", QString());
    actStringGrid = action("actStringGrid", "Tabs", QString());
    actTreeView = action("actTreeView", "Tabs", QStringLiteral("actTreeView"));
    actLabel = action("actLabel", "Tabs", QStringLiteral("actLabel"));
    actZooming = action("actZooming", "Tabs", QString());
    actPrint = action("actPrint", "File", QStringLiteral("&Print"));
    actPageSetup = action("actPageSetup", "File", QStringLiteral("Page &Setup"));
    actExit = action("actExit", "File", QStringLiteral("&Exit"));
    actAboutBox = action("About1", "Help", QStringLiteral("&About"));

    connect(actAbout, &QAction::triggered, this, Reporting([this] { actAboutExecute(); }));
    connect(actCanvas, &QAction::triggered, this, Reporting([this] { actCanvasExecute(); }));
    connect(actZoomIn, &QAction::triggered, this, Reporting([this] { KpPreview1->ZoomIn(); }));
    connect(actZoomOut, &QAction::triggered, this, Reporting([this] { KpPreview1->ZoomOut(); }));
    connect(actFitWidth, &QAction::triggered, this, Reporting([this] { KpPreview1->FitWidth(); }));
    connect(actFitHeight, &QAction::triggered, this,
            Reporting([this] { KpPreview1->FitHeight(); }));
    connect(actFitWholePage, &QAction::triggered, this,
            Reporting([this] { KpPreview1->FitWholePage(); }));
    connect(actRichText, &QAction::triggered, this, Reporting([this] { actRichTextExecute(); }));
    connect(actOpenRtf, &QAction::triggered, this, Reporting([this] { actOpenRtfExecute(); }));
    connect(actStringGrid, &QAction::triggered, this,
            Reporting([this] { actStringGridExecute(); }));
    connect(actTreeView, &QAction::triggered, this, Reporting([this] { actTreeViewExecute(); }));
    connect(actLabel, &QAction::triggered, this, Reporting([this] { actLabelExecute(); }));
    connect(actZooming, &QAction::triggered, this, Reporting([this] { actZoomingExecute(); }));
    connect(actPrint, &QAction::triggered, this, Reporting([this] { actPrintExecute(); }));
    connect(actPageSetup, &QAction::triggered, this, Reporting([this] { PageSetupClick(); }));
    connect(actExit, &QAction::triggered, this, Reporting([this] { close(); }));
    connect(actAboutBox, &QAction::triggered, this, Reporting([this] { About1Click(); }));
    connect(actOpen, &QAction::triggered, this, Reporting([this] {
                const QString file = ChooseOpenFile();
                if (!file.isEmpty()) OpenDocument(file);
            }));
    connect(actSave, &QAction::triggered, this, Reporting([this] {
                const QString file = ChooseSaveFile();
                if (!file.isEmpty()) SaveDocument(file);
            }));
    // After each demo (the content demos included) the counter and the strip show the
    // current page; these run after the demos' own handlers.
    for (QAction* demo :
         {actAbout, actCanvas, actRichText, actStringGrid, actTreeView, actLabel, actZooming})
        connect(demo, &QAction::triggered, this, [this] { ShowPagePosition(); });
}

void TfrmMain::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(actOpen);
    file->addAction(actSave);
    file->addSeparator();
    file->addAction(actPageSetup);
    file->addSeparator();
    file->addAction(actPrint);
    file->addSeparator();
    file->addAction(actExit);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(actAboutBox);
}

void TfrmMain::wireHandlers() {
    auto run = [this](QToolButton* b, QAction* a) {
        connect(b, &QToolButton::clicked, a, &QAction::trigger);
    };
    auto runLink = [](TLinkLabel* l, QAction* a) { l->OnClick = [a] { a->trigger(); }; };
    run(SpeedButton1, actOpen);
    run(SpeedButton2, actSave);
    run(SpeedButton27, actPrint);
    run(SpeedButton3, actAbout);
    run(SpeedButton4, actCanvas);
    connect(SpeedButton25, &QToolButton::clicked, this,
            Reporting([this] { SpeedButton25Click(); }));
    run(SpeedButton5, actRichText);
    run(SpeedButton6, actStringGrid);
    run(SpeedButton7, actTreeView);
    run(SpeedButton8, actLabel);
    // The caption under the About button runs the About demo like its button.
    runLink(lblAboutLink, actAbout);
    runLink(lblCanvasLink, actCanvas);
    lblGraphicsLink->OnClick = [this] { SpeedButton25Click(); };
    runLink(lblRichTextLink, actRichText);
    runLink(lblGridLink, actStringGrid);
    runLink(lblTreeLink, actTreeView);
    runLink(lblLabelLink, actLabel);
    run(SpeedButton15, actOpenRtf);

    connect(SpeedButton16, &QToolButton::clicked, this, [this] { KpPreview1->FirstPage(); });
    connect(SpeedButton17, &QToolButton::clicked, this, [this] { KpPreview1->PrevPage(); });
    connect(SpeedButton18, &QToolButton::clicked, this, [this] { KpPreview1->NextPage(); });
    connect(SpeedButton19, &QToolButton::clicked, this, [this] { KpPreview1->LastPage(); });
    run(SpeedButton10, actZoomIn);
    run(SpeedButton20, actZoomIn);
    run(SpeedButton11, actZoomOut);
    run(SpeedButton21, actZoomOut);
    run(SpeedButton13, actFitWidth);
    run(SpeedButton22, actFitWidth);
    run(SpeedButton12, actFitHeight);
    run(SpeedButton23, actFitHeight);
    run(SpeedButton14, actFitWholePage);
    run(SpeedButton24, actFitWholePage);
    connect(SpeedButton26, &QToolButton::clicked, this, [this] { KpPreview1->SetZoom(100); });
    connect(ComboBox1, &QComboBox::activated, this, [this](int index) { ComboBox1Change(index); });
    connect(cbxView, &QComboBox::activated, this,
            [this](int index) { KpPreview1->SetViewMode(static_cast<TKpViewMode>(index)); });
    connect(KpPreview1, &TKpPreview::viewModeChanged, this, [this] { showViewMode(); });
    connect(cbxZoom, &QComboBox::editTextChanged, this,
            [this](const QString& t) { cbxZoomChange(t); });
    connect(cbxZoom->lineEdit(), &QLineEdit::editingFinished, this, [this] { showZoom(); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (!selectingTab_) PageControl1Change(index);
    });
    connect(cbFont, &QCheckBox::clicked, this, Reporting([this] { cbFontClick(); }));
    connect(sbFont, &QPushButton::clicked, this, Reporting([this] { sbFontClick(); }));
    connect(CheckBox2, &QCheckBox::clicked, actTreeView, &QAction::trigger);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int v) {
        DeliverReportingErrors([&] {
            SpinEdit1Change(v);
            return true;
        });
    });
    connect(SpinEdit2, &QSpinBox::valueChanged, this, [this](int v) {
        DeliverReportingErrors([&] {
            SpinEdit2Change(v);
            return true;
        });
    });
    Label15->OnClick = [this] { Label15Click(); };
    Label22->OnClick = [this] { Label15Click(); };
    Label18->OnClick = [this] { Label18Click(); };
    Label21->OnClick = [this] { Label18Click(); };

    using namespace std::placeholders;
    KpPreview1->OnZoom = [this](void* s, int o, int n) { KpPreview1Zoom(s, o, n); };
    KpPreview1->OnPageChange = [this](void* s, int n) { KpPreview1PageChange(s, n); };
    KpPreview1->OnMouseDown = [this](void* s, TMouseButton b, TShiftState sh, int x, int y) {
        KpPreview1MouseDown(s, b, sh, x, y);
    };
    KpPreview1->OnPageMouseDown = [this](void* s, TMouseButton b, TShiftState sh, TKpValue* x,
                                         TKpValue* y) { KpPreview1PageMouseDown(s, b, sh, x, y); };
    KpPreview1->OnPageMouseMove = [this](void* s, TShiftState sh, TKpValue* x, TKpValue* y) {
        KpPreview1PageMouseMove(s, sh, x, y);
    };
    KpPreview1->OnPageMouseUp = [this](void* s, TMouseButton b, TShiftState sh, TKpValue* x,
                                       TKpValue* y) { KpPreview1PageMouseUp(s, b, sh, x, y); };
    KpPreview1->OnLinkClick = [this](void* s, const QString& url) { KpPreview1LinkClick(s, url); };
}

QWidget* TfrmMain::withTabRows(QTabWidget* tabs) {
    auto* panel = new QWidget;
    panel->setFixedWidth(tabs->width());
    auto* l = new QVBoxLayout(panel);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    TabRows = new TTabRows(tabs, tabs->width(), panel);
    l->addWidget(TabRows);
    l->addWidget(tabs, 1);
    return panel;
}

void TfrmMain::selectTab(int index) {
    selectingTab_ = true;
    PageControl1->setCurrentIndex(index);
    selectingTab_ = false;
}

// ---- handlers ----

void TfrmMain::SetWindows(TfrmAbout* about, TfrmPrint* print) {
    frmAbout = about;
    frmPrint = print;
    // The print dialog's selectors follow this window's preview from the start.
    if (frmPrint) frmPrint->LinkSelectors(KpPreview1);
}

void TfrmMain::FormCreate() {
    showZoom();
    savedMargins_ = std::make_unique<TKpMargins>(nullptr);
    for (int r = 0; r < StringGrid1->RowCount(); ++r)
        StringGrid1->SetCells(0, r, QString::asprintf("Cell (%d, %d)", 0, r + 1));
}

void TfrmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TfrmMain::FormShow() {
    actAbout->trigger();
}

void TfrmMain::PageControl1Change(int index) {
    switch (index) {
    case 0:
        actAbout->trigger();
        break;
    case 1:
        actCanvas->trigger();
        break;
    case 2:
        actRichText->trigger();
        break;
    case 3:
        actStringGrid->trigger();
        break;
    case 4:
        actTreeView->trigger();
        break;
    case 5:
        actLabel->trigger();
        break;
    case 6:
        actZooming->trigger();
        break;
    default:
        break;
    }
}

void TfrmMain::KpPreview1Zoom(void*, int, int newZoom) {
    // While the user types, the edit keeps the typed text: a first digit clamped to the
    // minimum zoom must not become the start of the next number. The edit shows the zoom
    // again when the typing is finished.
    if (zoomTyping_) return;
    const TKpStateGuard<bool> fromPreview(zoomFromPreview_, true);
    cbxZoom->setEditText(QString::number(newZoom));
}

void TfrmMain::cbxZoomChange(const QString& text) {
    if (zoomFromPreview_) return;
    // A text that is not a whole number (also the empty text while typing) leaves the zoom.
    bool ok = false;
    const int zoom = text.trimmed().toInt(&ok);
    if (!ok) return;
    const TKpStateGuard<bool> typing(zoomTyping_, true);
    KpPreview1->SetZoom(zoom);
}

void TfrmMain::KpPreview1PageChange(void*, int pageNum) {
    lblPageNum->setText(QStringLiteral("%1 of %2").arg(pageNum).arg(KpPreview1->NumPages()));
}

void TfrmMain::KpPreview1MouseDown(void*, TMouseButton, TShiftState shift, int x, int y) {
    if (shift & ssLeft) KpPreview1->CenterOnPoint(x, y);
}

void TfrmMain::KpPreview1PageMouseDown(void*, TMouseButton, TShiftState shift, TKpValue*,
                                       TKpValue*) {
    if (shift == ssRight)
        KpPreview1->BeginPan();
    else if (shift == ssLeft)
        KpPreview1->ZoomIn();
    else if (shift == (ssShift | ssLeft))
        KpPreview1->ZoomOut();
}

void TfrmMain::KpPreview1PageMouseMove(void*, TShiftState shift, TKpValue*, TKpValue*) {
    if (KpPreview1->Panning()) return;
    KpPreview1->SetZoomCursor(shift & ssShift ? 2 : 1);
}

void TfrmMain::KpPreview1PageMouseUp(void*, TMouseButton, TShiftState, TKpValue*, TKpValue*) {
    if (KpPreview1->Panning()) KpPreview1->EndPan();
}

// A link on a page opens in the desktop's browser or mail program once the user agrees.
void TfrmMain::KpPreview1LinkClick(void*, const QString& url) {
    if (ConfirmOpenLink(url)) OpenAddress(url);
}

void TfrmMain::ComboBox1Change(int index) {
    ShowInformation(QStringLiteral("Other paper sizes are supported but for the purpose"
                                   "of this demo, I have limited it to A4 and Letter."));
    if (index == 0)
        KpPreview1->SetPaperSize(A4);
    else if (index == 1)
        KpPreview1->SetPaperSize(Letter);
}

void TfrmMain::Label15Click() {
    OpenAddress(MakerWebAddress());
}

void TfrmMain::Label18Click() {
    OpenAddress(QStringLiteral("mailto:") + MakerEmailAddress());
}

void TfrmMain::cbFontClick() {
    sbFont->setEnabled(cbFont->isChecked());
}

void TfrmMain::sbFontClick() {
    QFont font = FontDialog1;
    if (!ChooseFont(font)) return;
    FontDialog1 = font;
    pnlFont->setFont(font);
}

void TfrmMain::About1Click() {
    if (frmAbout) frmAbout->exec();
}

void TfrmMain::actPrintExecute() {
    if (!frmPrint) return;
    frmPrint->Preview = KpPreview1;
    frmPrint->exec();
}

void TfrmMain::PageSetupClick() {
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Page Setup"));
    auto* form = new QFormLayout(&dialog);
    auto* paper = new QComboBox(&dialog);
    const char* names[] = {"A3", "A4", "A5", "A6", "B5", "C5", "Legal", "Letter"};
    for (const char* n : names)
        paper->addItem(QString::fromLatin1(n));
    paper->setCurrentIndex(KpPreview1->PaperSize() == Custom ? 1 : KpPreview1->PaperSize());
    auto* orientation = new QComboBox(&dialog);
    orientation->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    orientation->setCurrentIndex(KpPreview1->Orientation());
    form->addRow(QStringLiteral("Paper size:"), paper);
    form->addRow(QStringLiteral("Orientation:"), orientation);
    TKpMargins& m = KpPreview1->Margins();
    TKpValue* sides[] = {&m.Left(), &m.Top(), &m.Right(), &m.Bottom()};
    const char* sideNames[] = {
        "Left margin (mm):", "Top margin (mm):", "Right margin (mm):", "Bottom margin (mm):"};
    QDoubleSpinBox* boxes[4];
    for (int i = 0; i < 4; ++i) {
        boxes[i] = new QDoubleSpinBox(&dialog);
        boxes[i]->setRange(0, 100);
        boxes[i]->setDecimals(1);
        boxes[i]->setValue(static_cast<double>(sides[i]->AsMillimeters()));
        form->addRow(QString::fromLatin1(sideNames[i]), boxes[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyPageSetup(static_cast<TKpPaperSize>(paper->currentIndex()),
                   static_cast<TKpOrientation>(orientation->currentIndex()), boxes[0]->value(),
                   boxes[1]->value(), boxes[2]->value(), boxes[3]->value());
}

void TfrmMain::ApplyPageSetup(TKpPaperSize paper, TKpOrientation orientation, double left,
                              double top, double right, double bottom) {
    KpPreview1->SetOrientation(orientation);
    KpPreview1->SetPaperSize(paper);
    TKpMargins& m = KpPreview1->Margins();
    m.Left().SetMillimeters(left);
    m.Top().SetMillimeters(top);
    m.Right().SetMillimeters(right);
    m.Bottom().SetMillimeters(bottom);
    showPaperSize();
}

void TfrmMain::showZoom() {
    const TKpStateGuard<bool> fromPreview(zoomFromPreview_, true);
    cbxZoom->setEditText(QString::number(KpPreview1->Zoom()));
}

void TfrmMain::showViewMode() {
    cbxView->setCurrentIndex(static_cast<int>(KpPreview1->ViewMode()));
}

void TfrmMain::showPaperSize() {
    // The paper combo lists two sizes; any other size leaves it blank.
    const TKpPaperSize size = KpPreview1->PaperSize();
    ComboBox1->setCurrentIndex(size == A4 ? 0 : size == Letter ? 1 : -1);
}
