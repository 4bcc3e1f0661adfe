// The content demos in the window: label sheets numbered down the columns over three pages,
// the tree outline ending on its last page, the string grid across pages with its spin edits,
// and rich text opened from files (the bundled sample, plain text, files that are not rich
// text) with errors reported by the application object.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "demo_fixture.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpObjects.h"
#include "image_helpers.h"
#include "platform/KpDeviceCanvas.h"
#include "thumbnails/mouse_clicks.h"

using namespace kp;

using demotest::DemoWindows;

namespace {

template <typename T> std::vector<T*> ObjectsOf(TKpPreview& p, int page, int type) {
    std::vector<T*> out;
    TKpPage* pg = p.GetPage(page);
    for (int i = 0; i < pg->Count(); ++i)
        if (pg->Objects(i)->ObjectType == type) out.push_back(static_cast<T*>(pg->Objects(i)));
    return out;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray BundledRtf() {
    QFile f(TfrmMain::BundledRtfResource());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Opens a rich text file through the rich text tab's button; an error its handler raises is
// reported there, inside the slot, and the click returns.
void OpenRtfThroughTheWindow(DemoWindows& d, const QString& file) {
    d.main->ChooseRtfFile = [file] { return file; };
    testmouse::click(d.main->SpeedButton15);
}

// Clicks a check box on its box (the box and its text take clicks, not the space after).
void ClickCheckBox(QCheckBox* box) {
    testmouse::click(box, QPoint(6, box->height() / 2));
}

// The ink of page n's single picture, drawn at the screen's resolution.
int PictureInk(TKpPreview& p, int page) {
    const auto pictures = ObjectsOf<TKpGraphicObject>(p, page, kpGraphicObject);
    if (pictures.size() != 1 || !pictures[0]->Picture) return -1;
    QImage img = testimg::whiteImage(794, 1123);
    QPainter painter(&img);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    canvas.PlayMetafile(*pictures[0]->Picture, img.rect());
    painter.end();
    return testimg::inkCount(img);
}

} // namespace

// ---- labels ----

TEST(LabelDemo, ThreeSheetsNumberedDownTheColumns) {
    DemoWindows d;
    d.main->actCanvas->trigger();
    testmouse::click(d.main->SpeedButton8);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 3"));
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 5);
    EXPECT_FALSE(d.preview().Header().Visible());
    EXPECT_FALSE(d.preview().Footer().Visible());
    const int zoom = d.preview().Zoom(); // fitted to the width
    EXPECT_GT(zoom, 20);
    d.preview().FitWidth();
    EXPECT_EQ(d.preview().Zoom(), zoom);
    EXPECT_EQ(d.main->LabelCount, 55);

    for (int page = 1; page <= 3; ++page) {
        std::map<int, QPoint> numbered; // label number -> where its text starts
        int others = 0;
        for (TKpTextObject* t : ObjectsOf<TKpTextObject>(d.preview(), page, kpTextObject)) {
            if (t->Text.startsWith(QStringLiteral("Label no. "))) {
                numbered[t->Text.mid(10).toInt()] = QPoint(t->X1, t->Y1);
                EXPECT_EQ(t->Font->Color, clRed);
                EXPECT_EQ(t->Font->Size, 22);
            } else {
                EXPECT_EQ(t->Text, QStringLiteral("Add graphics..."));
                ++others;
            }
        }
        EXPECT_EQ(others, 18) << page;
        ASSERT_EQ(numbered.size(), 18u) << page;
        const int first = 18 * (page - 1) + 1;
        EXPECT_EQ(numbered.begin()->first, first);
        EXPECT_EQ(numbered.rbegin()->first, first + 17);
        // L7161: columns 66 mm apart from 7.2 mm, rows 46.6 mm apart from 9.5 mm; the text
        // 5 mm into the label; numbers run down each column.
        const struct {
            int offset, x, y;
        } places[] = {{0, 1220, 1450},
                      {1, 1220, 6110},
                      {5, 1220, 24750},
                      {6, 7820, 1450},
                      {17, 14420, 24750}};
        for (const auto& p : places)
            EXPECT_EQ(numbered[first + p.offset], QPoint(p.x, p.y)) << page << " " << p.offset;

        // The outlines show but are not printed; the barcode sits in each label's corner.
        const auto outlines = ObjectsOf<TKpBaseObject>(d.preview(), page, kpRoundRectShape);
        EXPECT_EQ(outlines.size(), 18u);
        EXPECT_TRUE(std::none_of(outlines.begin(), outlines.end(),
                                 [](TKpBaseObject* o) { return o->Printable; }));
        const auto barcodes = ObjectsOf<TKpGraphicObject>(d.preview(), page, kpGraphicObject);
        ASSERT_EQ(barcodes.size(), 18u);
        // 135 x 39 pixels are 3572 x 1032 KpUnits; the label is 6350 x 4660.
        EXPECT_EQ(barcodes[0]->X1, 720 + 6350 - 3572 - 300);
        EXPECT_EQ(barcodes[0]->Y1, 950 + 4660 - 1032 - 600);
        EXPECT_EQ(barcodes[0]->X2 - barcodes[0]->X1, 3572);
    }
    EXPECT_TRUE(d.messages.empty());
}

TEST(LabelDemo, RunningItTwiceKeepsTheTemplateMarginsInSavedMargins) {
    DemoWindows d;
    const struct {
        int left, top, right, bottom;
    } afterRun[] = {{1500, 2000, 1500, 2500}, {720, 950, 720, 500}, {720, 950, 720, 500}};
    for (const auto& m : afterRun) {
        d.main->actLabel->trigger();
        TKpMargins& saved = d.main->SavedMargins();
        EXPECT_EQ(saved.Left().value, m.left);
        EXPECT_EQ(saved.Top().value, m.top);
        EXPECT_EQ(saved.Right().value, m.right);
        EXPECT_EQ(saved.Bottom().value, m.bottom);
        EXPECT_EQ(d.counter(), QStringLiteral("1 of 3"));
    }
    // Later demos restore those.
    d.main->actCanvas->trigger();
    EXPECT_EQ(d.preview().Margins().Left().value, 720);
    EXPECT_EQ(d.preview().Margins().Bottom().value, 500);
}

// ---- tree view ----

TEST(TreeDemo, PrintsTheNodesShownOrAllAtZoom70) {
    DemoWindows d;
    const struct {
        bool expandAll;
        size_t rows;
    } cases[] = {{true, 17}, {false, 8}, {true, 17}};
    for (const auto& c : cases) {
        if (d.main->CheckBox2->isChecked() != c.expandAll)
            ClickCheckBox(d.main->CheckBox2); // runs the demo
        else
            testmouse::click(d.main->SpeedButton7);
        EXPECT_EQ(d.preview().Zoom(), 70);
        EXPECT_EQ(d.main->PageControl1->currentIndex(), 4);
        EXPECT_EQ(d.preview().Header().CaptionLeft(),
                  QStringLiteral("Paginor TreeView Printing Example"));
        ASSERT_EQ(d.preview().NumPages(), 1);
        const auto texts = ObjectsOf<TKpTextObject>(d.preview(), 1, kpTextObject);
        ASSERT_EQ(texts.size(), c.rows);
        EXPECT_EQ(texts[0]->Text, QStringLiteral(" Item 1"));
        EXPECT_EQ(texts.back()->Text, QStringLiteral(" Item 8"));
        EXPECT_EQ(texts[0]->Font->Name, QStringLiteral("Arial"));
        EXPECT_EQ(texts[0]->Font->Size, 8);
        // Every node has its 16 x 16 icon.
        EXPECT_EQ(ObjectsOf<TKpGraphicObject>(d.preview(), 1, kpGraphicObject).size(), c.rows);
    }
    // The image of each node, in display order.
    const std::vector<int> images = {0, 1, 0, 0, 0, 2, 0, 1, 2, 3, 4, 4, 2, 3, 0, 1, 1};
    std::vector<int> shown;
    for (int i = 0; i < d.main->TreeView1->Count(); ++i)
        shown.push_back(d.main->TreeView1->ImageIndex(i));
    EXPECT_EQ(shown, images);
    EXPECT_EQ(d.main->ImageList1->Count(), 5);
}

TEST(TreeDemo, EndsOnItsLastPageWhereTheOtherDemosEndOnTheFirst) {
    DemoWindows d;
    for (int i = 0; i < 60; ++i)
        d.main->TreeView1->AddNode(nullptr, QStringLiteral("Extra %1").arg(i), i % 5);
    const struct {
        QAction* action;
        const char* counter;
    } cases[] = {{d.main->actTreeView, "3 of 3"},
                 {d.main->actStringGrid, "1 of 4"},
                 {d.main->actLabel, "1 of 3"},
                 {d.main->actTreeView, "3 of 3"}};
    for (const auto& c : cases) {
        d.preview().FirstPage();
        c.action->trigger();
        EXPECT_EQ(d.counter(), QString::fromLatin1(c.counter));
        EXPECT_EQ(d.highlighted(), std::vector<int>{d.preview().CurrentPage()});
    }
}

// ---- string grid ----

TEST(GridDemo, CellsRunOverSeveralPagesFrom40mmOnEach) {
    DemoWindows d;
    testmouse::click(d.main->SpeedButton6);
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 3);
    EXPECT_EQ(d.preview().Header().CaptionLeft(),
              QStringLiteral("Paginor StringGrid Printing Example"));
    const int pages = d.preview().NumPages();
    ASSERT_GT(pages, 1);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of %1").arg(pages));
    QStringList firstColumn;
    for (int n = 1; n <= pages; ++n) {
        const auto boxes = ObjectsOf<TKpTextBoxObject>(d.preview(), n, kpTextBoxObject);
        ASSERT_FALSE(boxes.empty()) << n;
        int top = INT_MAX;
        for (TKpTextBoxObject* b : boxes) {
            top = std::min(top, b->Y1);
            if (!b->Text.isEmpty()) firstColumn << b->Text;
            EXPECT_EQ(b->Font->Name, QStringLiteral("Arial"));
        }
        EXPECT_EQ(top, 4000) << "page " << n;
        EXPECT_EQ(boxes.front()->X1, 2000 + 100); // the text 1 mm into the first cell
    }
    ASSERT_EQ(firstColumn.size(), 100);
    for (int r = 0; r < 100; ++r)
        EXPECT_EQ(firstColumn[r], QStringLiteral("Cell (0, %1)").arg(r + 1));
}

TEST(GridDemo, SpinEditsResizeTheGridWithinBoundsAndRebuild) {
    DemoWindows d;
    EXPECT_EQ(d.main->SpinEdit1->minimum(), 1);
    EXPECT_EQ(d.main->SpinEdit1->maximum(), 1000);
    EXPECT_EQ(d.main->SpinEdit2->minimum(), 1);
    EXPECT_EQ(d.main->SpinEdit2->maximum(), 50);
    EXPECT_EQ(d.main->SpinEdit1->value(), 100);
    EXPECT_EQ(d.main->SpinEdit2->value(), 10);
    const struct {
        QSpinBox* spin;
        int value;
        int rows, cols;
        const char* lastCell;
    } cases[] = {
        {d.main->SpinEdit1, 5, 5, 10, "Cell (0, 5)"},
        {d.main->SpinEdit2, 3, 5, 3, "Cell (0, 5)"},
        {d.main->SpinEdit1, 12, 12, 3, "Cell (0, 12)"}, // new rows numbered on
        {d.main->SpinEdit2, 0, 12, 1, "Cell (0, 12)"},  // below the bound: 1
        {d.main->SpinEdit1, 5000, 1000, 1, "Cell (0, 1000)"},
    };
    for (const auto& c : cases) {
        c.spin->setValue(c.value);
        SCOPED_TRACE(c.value);
        EXPECT_EQ(d.main->StringGrid1->RowCount(), c.rows);
        EXPECT_EQ(d.main->StringGrid1->ColCount(), c.cols);
        TKpPreview& p = d.preview();
        const auto last = ObjectsOf<TKpTextBoxObject>(p, p.NumPages(), kpTextBoxObject);
        ASSERT_GE(last.size(), static_cast<size_t>(c.cols));
        // The last row's first cell, then its empty cells.
        EXPECT_EQ(last[last.size() - c.cols]->Text, QString::fromLatin1(c.lastCell));
        EXPECT_EQ(d.counter(), QStringLiteral("1 of %1").arg(p.NumPages()));
        EXPECT_TRUE(p.AutoRefresh);
        EXPECT_TRUE(d.main->KpThumbnails1->Enabled());
    }
}

// ---- rich text ----

TEST(RichTextDemo, AnnouncesTheSampleAndLeavesOneEmptyPage) {
    DemoWindows d;
    d.main->actCanvas->trigger();
    testmouse::click(d.main->SpeedButton5);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0], QStringLiteral("Use the \"Open *.RTF File Button\" to open \n"
                                            "a rich text document.\n\n"
                                            "\"Paginor.rtf\" was supplied with this demo for "
                                            "this purpose."));
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 1"));
    EXPECT_EQ(d.preview().GetPage(1)->Count(), 0);
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 2);
    EXPECT_EQ(d.preview().Header().CaptionLeft(), QStringLiteral("Paginor Rich Text Example"));
}

TEST(RichTextDemo, BundledSampleFillsSeveralPagesOfText) {
    DemoWindows d;
    d.main->RunRichTextDemo(QString());
    EXPECT_TRUE(d.messages.empty()); // no message box when run unattended
    EXPECT_TRUE(d.errors.empty());
    const int pages = d.preview().NumPages();
    ASSERT_GE(pages, 3);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of %1").arg(pages));
    for (int n = 1; n <= pages; ++n)
        EXPECT_GT(PictureInk(d.preview(), n), 2000) << "page " << n;
    EXPECT_EQ(d.main->KpRtfPreview1->TopMargin().value, 4000);
    EXPECT_EQ(d.main->KpRtfPreview1->BottomMargin().value, 4000);
    EXPECT_EQ(d.main->KpThumbnails1->Thumbnails().Count(), pages);
}

TEST(RichTextDemo, PlainTextModeUsesTheFontDialogsFont) {
    DemoWindows d;
    EXPECT_EQ(d.main->FontDialog1.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(d.main->FontDialog1.pointSize(), 10);
    EXPECT_FALSE(d.main->sbFont->isEnabled());
    ClickCheckBox(d.main->cbFont);
    EXPECT_TRUE(d.main->sbFont->isEnabled());
    const QFont chosen(QStringLiteral("Liberation Mono"), 14);
    d.main->ChooseFont = [&](QFont& f) {
        EXPECT_EQ(f.family(), QStringLiteral("Times New Roman"));
        f = chosen;
        return true;
    };
    testmouse::click(d.main->sbFont);
    EXPECT_EQ(d.main->pnlFont->font().family(), chosen.family());
    d.main->ChooseFont = [](QFont& f) {
        f = QFont(QStringLiteral("Liberation Sans"), 30);
        return false; // cancelled: nothing changes
    };
    testmouse::click(d.main->sbFont);
    EXPECT_EQ(d.main->FontDialog1.family(), chosen.family());

    // The sample opens as its raw text, control words and all, in the chosen font.
    OpenRtfThroughTheWindow(d, TfrmMain::BundledRtfResource());
    EXPECT_TRUE(d.errors.empty());
    EXPECT_TRUE(d.main->RichEdit1->PlainText());
    EXPECT_TRUE(d.main->RichEdit1->toPlainText().startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_EQ(d.main->RichEdit1->document()->defaultFont().family(), chosen.family());
    EXPECT_GE(d.preview().NumPages(), 3);
}

TEST(RichTextDemo, FilesThatCannotBeReadAreReportedAndThePreviewKeepsItsPages) {
    QTemporaryDir dir;
    const QByteArray sample = BundledRtf();
    ASSERT_FALSE(sample.isEmpty());
    const struct {
        const char* name;
        QByteArray bytes;
        bool plain;
        const char* error; // empty: opens
    } cases[] = {
        {"words.rtf", "These are words, not rich text.", false, "not a rich text (RTF) file"},
        {"empty.rtf", "", false, "not a rich text (RTF) file"},
        {"picture.rtf", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), false,
         "not a rich text (RTF) file"},
        {"missing.rtf", QByteArray(), false, "cannot open"},
        {"words.rtf", "These are words, not rich text.", true, ""}, // plain text opens anything
        {"cut.rtf", sample.left(sample.size() / 3), false, ""},     // what could be read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DemoWindows d;
        const QString file = dir.filePath(QString::fromLatin1(c.name));
        if (QLatin1String(c.name) != QLatin1String("missing.rtf")) WriteFile(file, c.bytes);
        d.main->actCanvas->trigger();
        d.preview().LastPage();
        d.main->cbFont->setChecked(c.plain);
        if (*c.error)
            OpenRtfThroughTheWindow(d, file);
        else
            OpenRtfThroughTheWindow(d, file);
        if (*c.error) {
            ASSERT_EQ(d.errors.size(), 1u);
            EXPECT_TRUE(d.errors[0].contains(QString::fromLatin1(c.error)))
                << d.errors[0].toStdString();
            EXPECT_TRUE(d.errors[0].contains(QString::fromLatin1(c.name)));
            EXPECT_EQ(d.preview().NumPages(), 7);
            EXPECT_EQ(d.counter(), QStringLiteral("7 of 7"));
            EXPECT_TRUE(d.preview().AutoRefresh);
            EXPECT_TRUE(d.main->KpThumbnails1->Enabled());
        } else {
            EXPECT_TRUE(d.errors.empty()) << d.errors.front().toStdString();
            EXPECT_EQ(d.counter(), QStringLiteral("1 of %1").arg(d.preview().NumPages()));
            EXPECT_GT(PictureInk(d.preview(), 1), 100);
        }
        // The window carries on.
        testmouse::click(d.main->SpeedButton8);
        EXPECT_EQ(d.counter(), QStringLiteral("1 of 3"));
    }
}

TEST(RichTextDemo, OpenDialogOffersTheBundledSampleFirst) {
    QStandardPaths::setTestModeEnabled(true);
    DemoWindows d;
    const QString sample = TfrmMain::BundledRtfFile();
    ASSERT_FALSE(sample.isEmpty());
    QFile copy(sample);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), BundledRtf());
    copy.close();

    QStringList selected, filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        selected = dialog->selectedFiles();
        filters = dialog->nameFilters();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QString chosen = d.main->ChooseRtfFile();
    EXPECT_EQ(selected, QStringList{sample});
    EXPECT_EQ(filters, QStringList{QStringLiteral("Rich Text Files (*.rtf)")});
    EXPECT_EQ(chosen, sample);
    QStandardPaths::setTestModeEnabled(false);
}
