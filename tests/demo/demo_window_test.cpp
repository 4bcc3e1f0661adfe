#include <gtest/gtest.h>

#include <memory>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "demo/DemoLinks.h"
#include "demo/DemoPictures.h"
#include "demo/untAbout.h"
#include "demo/untMain.h"
#include "demo/untPrint.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpObjects.h"
#include "preview/KpPageImage.h"
#include "printing/KpErrors.h"
#include "thumbnails/mouse_clicks.h"

using namespace kp;

namespace {

// The program's three windows, shown, with messages and addresses recorded instead of
// shown or opened.
struct Demo {
    std::vector<QString> messages;
    std::vector<QString> addresses;
    std::vector<QString> errors;
    TKpErrorReporter oldReporter;
    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TfrmAbout> about;
    std::unique_ptr<TfrmPrint> print;

    Demo() {
        oldReporter = SetErrorReporter([this](const QString& t) { errors.push_back(t); });
        main = std::make_unique<TfrmMain>();
        about = std::make_unique<TfrmAbout>(main.get());
        print = std::make_unique<TfrmPrint>(main.get());
        main->SetWindows(about.get(), print.get());
        main->ShowInformation = [this](const QString& t) { messages.push_back(t); };
        main->OpenAddress = [this](const QString& t) { addresses.push_back(t); };
        main->resize(1200, 850);
        main->show();
        QCoreApplication::processEvents();
    }
    ~Demo() {
        print.reset();
        about.reset();
        main.reset();
        SetErrorReporter(oldReporter);
    }
    TKpPreview& preview() { return *main->KpPreview1; }
    QString counter() { return main->lblPageNum->text(); }
    TKpPage* page(int n) { return preview().GetPage(n); }
    template <typename T> std::vector<T*> objects(int pageNum, int type) {
        std::vector<T*> out;
        TKpPage* p = page(pageNum);
        for (int i = 0; i < p->Count(); ++i)
            if (p->Objects(i)->ObjectType == type) out.push_back(static_cast<T*>(p->Objects(i)));
        return out;
    }
    std::vector<TKpTextObject*> texts(int pageNum) {
        return objects<TKpTextObject>(pageNum, kpTextObject);
    }
};

const QString kTextOut = QStringLiteral("The \"TextOut\" method");
const QString kTextOutRight = QStringLiteral("The \"TextOutRight\" method");

} // namespace

TEST(DemoWindow, StartsOnTheAboutPageWithOnePage) {
    Demo d;
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 1"));
    EXPECT_EQ(d.main->windowTitle(), QStringLiteral("Paginor Demo - https://paginor.example.org"));
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 0);
    EXPECT_EQ(d.main->PageControl1->count(), 7);
    EXPECT_EQ(d.main->cbxZoom->currentText(), QStringLiteral("20"));
    EXPECT_EQ(d.preview().Zoom(), 20);
    EXPECT_EQ(d.preview().NumPages(), 1);
    EXPECT_TRUE(d.preview().Header().Visible());
    EXPECT_TRUE(d.preview().Footer().Visible());
    EXPECT_EQ(d.preview().Footer().CaptionLeft(), MakerWebAddress());
    EXPECT_EQ(d.preview().Footer().CaptionRight(), QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    EXPECT_EQ(d.main->KpThumbnails1->ThumbSize(), 3);
    EXPECT_EQ(d.main->KpThumbnails1->Preview(), &d.preview());
    EXPECT_EQ(d.main->KpThumbnails1->Thumbnails().Count(), 1);
    EXPECT_TRUE(d.main->KpThumbnails1->Enabled());
    EXPECT_EQ(d.main->StringGrid1->item(0, 0)->text(), QStringLiteral("Cell (0, 1)"));
    EXPECT_EQ(d.main->StringGrid1->item(99, 0)->text(), QStringLiteral("Cell (0, 100)"));
    EXPECT_TRUE(d.messages.empty());
}

TEST(DemoWindow, AboutPageHoldsTheTitleAndThePictureAtTwiceItsSize) {
    Demo d;
    const auto texts = d.texts(1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Text, QStringLiteral("Paginor"));
    EXPECT_EQ(texts[0]->X1, 3000);
    EXPECT_EQ(texts[0]->Y1, 6000);
    EXPECT_EQ(texts[0]->Font->Size, 72);
    EXPECT_EQ(texts[0]->Font->Name, QStringLiteral("Times New Roman"));
    const auto pictures = d.objects<TKpGraphicObject>(1, kpGraphicObject);
    ASSERT_EQ(pictures.size(), 1u);
    // 312 x 231 pixels at 96 per inch: 8255 x 6112.5 hundredths of a millimetre, doubled.
    EXPECT_EQ(pictures[0]->X1, 2000);
    EXPECT_EQ(pictures[0]->Y1, 10000);
    EXPECT_EQ(pictures[0]->X2, 2000 + 16510);
    EXPECT_EQ(pictures[0]->Y2, 10000 + 2 * 6112); // 6112.5 rounds to even
}

TEST(DemoWindow, CanvasDemoMakesSevenPages) {
    Demo d;
    testmouse::click(d.main->SpeedButton4);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 7"));
    EXPECT_EQ(d.preview().NumPages(), 7);
    EXPECT_EQ(d.preview().CurrentPage(), 1);
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 1);
    EXPECT_EQ(d.main->KpThumbnails1->Thumbnails().Count(), 7);
    EXPECT_TRUE(d.preview().AutoRefresh);
    const char* titles[] = {"Text Methods",     "\"RotateOut\" Method", "TextBox Method",
                            "... with Borders", "Draw Rectangles",      "Draw Ellipses",
                            "Draw Round Rects"};
    for (int n = 1; n <= 7; ++n) {
        const auto texts = d.texts(n);
        ASSERT_GE(texts.size(), 2u) << n;
        const TKpTextObject* shadow = texts[texts.size() - 2];
        const TKpTextObject* title = texts.back();
        EXPECT_EQ(title->Text, QString::fromLatin1(titles[n - 1]));
        EXPECT_EQ(shadow->Font->Color, clBlack);
        EXPECT_EQ(title->Font->Color, clRed);
        EXPECT_EQ(title->Font->Size, 56);
        EXPECT_EQ(title->Brush.Style, bsClear);
        EXPECT_EQ(shadow->X1, 2100);
        EXPECT_EQ(shadow->Y1, 23800); // 297 - 59 mm
        EXPECT_EQ(title->X1, 2050);
        EXPECT_EQ(title->Y1, 23750);
    }
}

TEST(DemoWindow, CanvasFirstPageTextOutLinesShrinkAndDarken) {
    Demo d;
    d.main->actCanvas->trigger();
    const auto texts = d.texts(1);
    ASSERT_EQ(texts.size(), 13u + 13u + 2u);
    for (int k = 0; k < 13; ++k) {
        const TKpTextObject* t = texts[static_cast<size_t>(k)];
        EXPECT_EQ(t->Text, kTextOut);
        EXPECT_EQ(t->Font->Size, 27 - k);
        EXPECT_EQ(t->Font->Color, 0xC0C0C0u - 0x101010u * static_cast<unsigned>(k));
        EXPECT_EQ(t->Font->Name, QStringLiteral("Times New Roman"));
        EXPECT_EQ(t->X1, 2500);
        EXPECT_EQ(t->Y1, 1400 * (k + 3));
    }
    EXPECT_EQ(texts[0]->Font->Color, 0xC0C0C0u);
    EXPECT_EQ(texts[12]->Font->Size, 15);
    EXPECT_EQ(texts[12]->Font->Color, 0x000000u);
}

TEST(DemoWindow, CanvasFirstPageTextOutRightLinesEndAt200mm) {
    Demo d;
    d.main->actCanvas->trigger();
    const auto texts = d.texts(1);
    ASSERT_EQ(texts.size(), 28u);
    TKpCanvas& measure = d.preview().Canvas();
    for (int k = 0; k < 13; ++k) {
        const TKpTextObject* t = texts[static_cast<size_t>(13 + k)];
        EXPECT_EQ(t->Text, kTextOutRight);
        EXPECT_EQ(t->Font->Size, 27 - k);
        EXPECT_EQ(t->Font->Color, 0xC0C0C0u - 0x101010u * static_cast<unsigned>(k));
        // Drawn from the bottom up: the largest at 210 mm, the smallest at 42 mm.
        EXPECT_EQ(t->Y1, 1400 * (15 - k));
        measure.Font().SetName(t->Font->Name);
        measure.Font().SetSize(t->Font->Size);
        measure.Font().SetStyle(t->Font->Style);
        const int width = measure.TextWidth(t->Text).value;
        EXPECT_GT(width, 0);
        EXPECT_EQ(t->X1 + width, 20000) << "line " << k;
    }
    EXPECT_EQ(texts[13]->Y1, 21000);
    EXPECT_EQ(texts[25]->Y1, 4200);
}

TEST(DemoWindow, RotatedTextPageHolds24TextsFrom16To361Degrees) {
    Demo d;
    d.main->actCanvas->trigger();
    const auto texts = d.texts(2);
    ASSERT_EQ(texts.size(), 24u + 2u);
    for (int i = 1; i <= 24; ++i) {
        const TKpTextObject* t = texts[static_cast<size_t>(i - 1)];
        EXPECT_DOUBLE_EQ(static_cast<double>(t->Font->Angle), 15.0 * i + 1) << i;
        EXPECT_EQ(t->Text, QStringLiteral("             Draw Rotated Text"));
        EXPECT_EQ(t->X1, 10000);
        EXPECT_EQ(t->Y1, 14000);
        EXPECT_EQ(t->Font->Size, 22);
        EXPECT_TRUE(t->Font->Style & FontStyleBit(fsBold));
    }
    EXPECT_DOUBLE_EQ(static_cast<double>(texts[23]->Font->Angle), 361.0);
    EXPECT_EQ(texts[0]->Font->Color, 0xC0C0C0u);
    EXPECT_EQ(texts[1]->Font->Color, 0xB5B5B5u);
    // The colour stops at black instead of running below zero.
    for (const TKpTextObject* t : texts)
        EXPECT_EQ(t->Font->Color & 0xFF000000u, 0u);
    EXPECT_EQ(texts[23]->Font->Color, 0u);
    // The title's size change drops the rotation.
    EXPECT_DOUBLE_EQ(static_cast<double>(texts.back()->Font->Angle), 0.0);
}

TEST(DemoWindow, CanvasShapesPagesHoldFilledShapes) {
    Demo d;
    d.main->actCanvas->trigger();
    const auto boxes3 = d.objects<TKpTextBoxObject>(3, kpTextBoxObject);
    ASSERT_EQ(boxes3.size(), 3u);
    EXPECT_EQ(boxes3[0]->Alignment, taLeftJustify);
    EXPECT_EQ(boxes3[1]->Alignment, taCenter);
    EXPECT_EQ(boxes3[2]->Alignment, taRightJustify);
    EXPECT_EQ(boxes3[0]->Brush.Color, 0xC0C0C0u);
    EXPECT_EQ(boxes3[0]->Pen->Style, psClear);
    EXPECT_EQ(boxes3[1]->X1, 6000);
    EXPECT_EQ(boxes3[1]->X2, 15000);
    EXPECT_EQ(boxes3[1]->Y1, 12000);
    EXPECT_GT(boxes3[1]->Y2, boxes3[1]->Y1);
    const auto boxes4 = d.objects<TKpTextBoxObject>(4, kpTextBoxObject);
    ASSERT_EQ(boxes4.size(), 3u);
    EXPECT_EQ(boxes4[2]->Brush.Color, 0xAAAAFFu);
    EXPECT_EQ(boxes4[2]->Pen->Width, 3);
    EXPECT_EQ(boxes4[2]->Pen->Style, psSolid);
    EXPECT_EQ(d.page(5)->Count(), 4 + 2);
    EXPECT_EQ(d.page(6)->Count(), 4 + 2);
    EXPECT_EQ(d.page(7)->Count(), 4 + 2);
}

TEST(DemoWindow, GraphicsDemoMakesTwoPages) {
    Demo d;
    d.main->actCanvas->trigger();
    testmouse::click(d.main->SpeedButton25);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 2"));
    EXPECT_EQ(d.preview().NumPages(), 2);
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 1); // the graphics demo leaves the tab
    const auto first = d.objects<TKpGraphicObject>(1, kpGraphicObject);
    ASSERT_EQ(first.size(), 3u);
    // 240 x 180 pixels at 96 per inch: 6350 x 4762.5 hundredths of a millimetre.
    EXPECT_EQ(first[0]->X1, 7000);
    EXPECT_EQ(first[0]->Y1, 5000);
    EXPECT_EQ(first[0]->X2, 7000 + 6350);
    EXPECT_EQ(first[2]->Y1, 17000);
    const auto second = d.objects<TKpGraphicObject>(2, kpGraphicObject);
    ASSERT_EQ(second.size(), 12u);
    EXPECT_EQ(second[0]->X2 - second[0]->X1, kp::RoundInt(0.25L * 6350));
    EXPECT_EQ(second[7]->X1, 17500);
    EXPECT_EQ(d.main->KpThumbnails1->Thumbnails().Count(), 2);
}

TEST(DemoWindow, LetterKeepsTheTitles238mmBelowTheTop) {
    Demo d;
    d.main->actCanvas->trigger();
    d.main->ComboBox1->setCurrentIndex(1);
    emit d.main->ComboBox1->activated(1);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0], QStringLiteral("Other paper sizes are supported but for the purpose"
                                            "of this demo, I have limited it to A4 and Letter."));
    EXPECT_EQ(d.preview().PaperSize(), Letter);
    EXPECT_EQ(d.preview().PaperHeight().value, 27940);
    for (int n = 1; n <= 7; ++n) {
        const auto texts = d.texts(n);
        EXPECT_EQ(texts[texts.size() - 2]->Y1, 23800) << n;
        EXPECT_EQ(texts.back()->Y1, 23750) << n;
        // 41.4 mm above the bottom of a letter page.
        EXPECT_EQ(27940 - texts[texts.size() - 2]->Y1, 4140);
    }
    // Back to A4.
    emit d.main->ComboBox1->activated(0);
    EXPECT_EQ(d.preview().PaperSize(), A4);
    EXPECT_EQ(d.messages.size(), 2u);
}

TEST(DemoWindow, TitlesFollowThePaperHeightWhenDrawnOnLetter) {
    Demo d;
    emit d.main->ComboBox1->activated(1);
    d.main->actCanvas->trigger();
    const auto texts = d.texts(1);
    // round(279.4) = 279 mm, less 59 mm.
    EXPECT_EQ(texts[texts.size() - 2]->Y1, 22000);
}

TEST(DemoWindow, LeftClickZoomsInShiftLeftZoomsOutCtrlOrAltNothing) {
    Demo d;
    QWidget* sheet = &d.preview().PageImage();
    ASSERT_EQ(d.preview().Zoom(), 20);
    testmouse::click(sheet, sheet->rect().center());
    EXPECT_EQ(d.preview().Zoom(), 30);
    EXPECT_EQ(d.main->cbxZoom->currentText(), QStringLiteral("30"));
    testmouse::click(sheet, sheet->rect().center(), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(d.preview().Zoom(), 20);
    testmouse::click(sheet, sheet->rect().center(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(d.preview().Zoom(), 20);
    testmouse::click(sheet, sheet->rect().center(), Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(d.preview().Zoom(), 20);
    testmouse::click(sheet, sheet->rect().center(), Qt::LeftButton,
                     Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(d.preview().Zoom(), 20);
}

TEST(DemoWindow, RightButtonPansUntilReleased) {
    Demo d;
    d.preview().SetZoom(200);
    QWidget* sheet = &d.preview().PageImage();
    const QPoint at(sheet->width() / 2, 200);
    testmouse::press(sheet, at, Qt::RightButton);
    EXPECT_TRUE(d.preview().Panning());
    testmouse::release(sheet, at, Qt::RightButton);
    EXPECT_FALSE(d.preview().Panning());
    EXPECT_EQ(d.preview().Zoom(), 200);
}

TEST(DemoWindow, ZoomComboAndButtons) {
    Demo d;
    d.main->cbxZoom->setEditText(QStringLiteral("50"));
    EXPECT_EQ(d.preview().Zoom(), 50);
    d.main->cbxZoom->setEditText(QString()); // typing: not a number yet
    EXPECT_EQ(d.preview().Zoom(), 50);
    d.main->cbxZoom->setEditText(QStringLiteral("5x"));
    EXPECT_EQ(d.preview().Zoom(), 50);
    testmouse::click(d.main->SpeedButton20);
    EXPECT_EQ(d.preview().Zoom(), 60);
    testmouse::click(d.main->SpeedButton11);
    EXPECT_EQ(d.preview().Zoom(), 50);
    testmouse::click(d.main->SpeedButton26);
    EXPECT_EQ(d.preview().Zoom(), 100);
    EXPECT_EQ(d.main->cbxZoom->currentText(), QStringLiteral("100"));
    testmouse::click(d.main->SpeedButton22);
    EXPECT_EQ(d.preview().Zoom(), d.preview().FitWidthZoom());
}

// Typed one key at a time, as a user does: every keystroke applies at once, and the edit
// keeps the typed digits even when a first digit is below the minimum zoom.
TEST(DemoWindow, TypedZoomGivesTheTypedZoom) {
    Demo d;
    for (const char* typed : {"50", "75", "150"}) {
        SCOPED_TRACE(typed);
        QLineEdit* edit = d.main->cbxZoom->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(typed));
        EXPECT_EQ(d.preview().Zoom(), QString::fromLatin1(typed).toInt());
        EXPECT_EQ(d.main->cbxZoom->currentText(), QString::fromLatin1(typed));
    }
    // A zoom below the minimum is clamped; the edit shows it once the typing is finished.
    QLineEdit* edit = d.main->cbxZoom->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("5"));
    EXPECT_EQ(d.preview().Zoom(), 10);
    emit edit->editingFinished();
    EXPECT_EQ(d.main->cbxZoom->currentText(), QStringLiteral("10"));
}

TEST(DemoWindow, PaperComboFollowsPageSetup) {
    Demo d;
    d.main->ApplyPageSetup(A5, kpPortrait, 15, 15, 15, 15);
    EXPECT_EQ(d.main->ComboBox1->currentText(), QString()); // a size it does not list
    d.main->ApplyPageSetup(Letter, kpPortrait, 15, 15, 15, 15);
    EXPECT_EQ(d.main->ComboBox1->currentText(), QStringLiteral("Letter"));
    d.main->ApplyPageSetup(A4, kpPortrait, 15, 15, 15, 15);
    EXPECT_EQ(d.main->ComboBox1->currentText(), QStringLiteral("A4"));
}

// A demo that fails half-way leaves the display switched on.
TEST(DemoWindow, FailingDemoLeavesAutoRefreshOn) {
    const std::pair<const char*, void (TfrmMain::*)()> demos[] = {
        {"canvas", &TfrmMain::actCanvasExecute}, {"graphics", &TfrmMain::SpeedButton25Click}};
    for (const auto& [name, run] : demos) {
        SCOPED_TRACE(name);
        Demo d;
        d.preview().OnNewPage = [](void*) { throw std::runtime_error("new page failed"); };
        EXPECT_THROW((d.main.get()->*run)(), std::runtime_error);
        EXPECT_TRUE(d.preview().AutoRefresh);
    }
}

TEST(DemoWindow, NavigationButtonsMoveThroughThePages) {
    Demo d;
    d.main->actCanvas->trigger();
    testmouse::click(d.main->SpeedButton19);
    EXPECT_EQ(d.counter(), QStringLiteral("7 of 7"));
    testmouse::click(d.main->SpeedButton17);
    EXPECT_EQ(d.counter(), QStringLiteral("6 of 7"));
    testmouse::click(d.main->SpeedButton16);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 7"));
    testmouse::click(d.main->SpeedButton18);
    EXPECT_EQ(d.counter(), QStringLiteral("2 of 7"));
    EXPECT_TRUE(d.main->KpThumbnails1->Thumbnails().Items(2)->PageImage()->Selected());
}

TEST(DemoWindow, ClickOnAThumbnailJumpsToItsPage) {
    Demo d;
    d.main->actCanvas->trigger();
    testmouse::click(d.main->KpThumbnails1->Thumbnails().Items(5)->PageImage());
    EXPECT_EQ(d.counter(), QStringLiteral("5 of 7"));
    EXPECT_EQ(d.preview().CurrentPage(), 5);
}

TEST(DemoWindow, TabChangesRunTheirDemos) {
    Demo d;
    d.main->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 7"));
    d.main->PageControl1->setCurrentIndex(6);
    EXPECT_EQ(d.preview().NumPages(), 1);
    EXPECT_EQ(d.preview().GetPage(1)->Count(), 0);
    d.main->PageControl1->setCurrentIndex(0);
    EXPECT_EQ(d.texts(1).size(), 1u);
    const struct {
        int tab;
        const char* counter;
    } content[] = {{2, "1 of 1"}, {3, "1 of 4"}, {4, "1 of 1"}, {5, "1 of 3"}};
    for (const auto& c : content) {
        d.main->PageControl1->setCurrentIndex(c.tab);
        EXPECT_EQ(d.counter(), QString::fromLatin1(c.counter)) << c.tab;
    }
    ASSERT_EQ(d.messages.size(), 1u); // only the rich text demo's hint
    EXPECT_TRUE(d.messages[0].startsWith(QStringLiteral("Use the \"Open *.RTF File Button\"")));
}

TEST(DemoWindow, FeatureCaptionsRunLikeTheirButtons) {
    Demo d;
    testmouse::click(d.main->lblCanvasLink);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 7"));
    testmouse::click(d.main->lblGraphicsLink);
    EXPECT_EQ(d.counter(), QStringLiteral("1 of 2"));
    testmouse::click(d.main->lblAboutLink);
    EXPECT_EQ(d.preview().NumPages(), 1);
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 0);
}

TEST(DemoWindow, DemosRestoreTheSavedMargins) {
    Demo d;
    d.preview().Margins().Left().SetMillimeters(40);
    d.main->actCanvas->trigger();
    EXPECT_EQ(d.preview().Margins().Left().value, 1500);
    EXPECT_EQ(d.preview().Margins().Top().value, 2000);
    EXPECT_EQ(d.preview().Margins().Right().value, 1500);
    EXPECT_EQ(d.preview().Margins().Bottom().value, 2500);
}

TEST(DemoWindow, LinksOpenTheMakersAddresses) {
    Demo d;
    testmouse::click(d.main->Label15);
    testmouse::click(d.main->Label22);
    testmouse::click(d.main->Label18);
    testmouse::click(d.main->Label21);
    EXPECT_EQ(d.addresses, (std::vector<QString>{MakerWebAddress(), MakerWebAddress(),
                                                 QStringLiteral("mailto:") + MakerEmailAddress(),
                                                 QStringLiteral("mailto:") + MakerEmailAddress()}));
    std::vector<QString> opened;
    d.about->OpenAddress = [&](const QString& u) { opened.push_back(u); };
    testmouse::click(d.about->Label2);
    testmouse::click(d.about->Label7);
    EXPECT_EQ(opened, (std::vector<QString>{MakerWebAddress(),
                                            QStringLiteral("mailto:") + MakerEmailAddress()}));
}

TEST(DemoWindow, MenuHoldsTheFileAndHelpEntries) {
    Demo d;
    const auto menus = d.main->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("&Help"));
    QStringList entries;
    for (QAction* a : menus[0]->menu()->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(
        entries,
        (QStringList{QStringLiteral("Open KpPreview File"), QStringLiteral("Save KpPreview File"),
                     QStringLiteral("-"), QStringLiteral("Page &Setup"), QStringLiteral("-"),
                     QStringLiteral("&Print"), QStringLiteral("-"), QStringLiteral("&Exit")}));
    EXPECT_EQ(menus[1]->menu()->actions()[0]->text(), QStringLiteral("&About"));
    d.main->actExit->trigger();
    EXPECT_FALSE(d.main->isVisible());
}

TEST(DemoWindow, PicturesHaveTheirSizesAndShipAsResources) {
    const struct {
        const char* name;
        int w, h;
    } sizes[] = {{"Image1", 312, 231},   {"Image2", 240, 180}, {"Image3", 240, 180},
                 {"Image5", 240, 180},   {"Barcode", 135, 39}, {"Logo", 227, 33},
                 {"AboutPanel", 99, 90}, {"Tree0", 16, 16},    {"Tree4", 16, 16}};
    QFile qrc(QStringLiteral(PAGINOR_SOURCE_DIR "/demo/demo.qrc"));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    const QString listing = QString::fromUtf8(qrc.readAll());
    for (const auto& s : sizes) {
        const QString name = QString::fromLatin1(s.name);
        const QImage drawn = DrawDemoPicture(name);
        EXPECT_EQ(drawn.size(), QSize(s.w, s.h)) << s.name;
        const QImage shipped(QStringLiteral(PAGINOR_SOURCE_DIR "/demo/pictures/%1.png").arg(name));
        EXPECT_EQ(shipped.size(), QSize(s.w, s.h)) << s.name;
        EXPECT_TRUE(listing.contains(QStringLiteral("pictures/%1.png").arg(name))) << s.name;
    }
    for (const QString& name : DemoPictureNames())
        EXPECT_TRUE(listing.contains(QStringLiteral("pictures/%1.png").arg(name)))
            << name.toStdString();
    // The barcode stands on a clear ground.
    EXPECT_EQ(DrawDemoPicture(QStringLiteral("Barcode")).pixelColor(0, 0).alpha(), 0);
    EXPECT_TRUE(DrawDemoPicture(QStringLiteral("NoSuchPicture")).isNull());
}

TEST(DemoWindow, RunDemoKnowsTheDemoNames) {
    Demo d;
    EXPECT_TRUE(d.main->RunDemo(QStringLiteral("canvas")));
    EXPECT_EQ(d.preview().NumPages(), 7);
    EXPECT_TRUE(d.main->RunDemo(QStringLiteral("zooming")));
    EXPECT_EQ(d.main->PageControl1->currentIndex(), 6);
    EXPECT_EQ(d.preview().NumPages(), 1);
    EXPECT_FALSE(d.main->RunDemo(QStringLiteral("nonsense")));
}

TEST(DemoWindow, WindowPictureShowsTheSheetAndThumbnails) {
    Demo d;
    d.main->actCanvas->trigger();
    QCoreApplication::processEvents();
    const QImage shot = d.main->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    // The thumbnail strip shows its first page framed in blue.
    TKpThumbnailPage* first = d.main->KpThumbnails1->Thumbnails().Items(1)->PageImage();
    const QPoint corner = first->mapTo(d.main.get(), QPoint(0, 10));
    EXPECT_EQ(shot.pixelColor(corner), QColor(0, 0, 255));
    // The sheet is white with the page's text on it somewhere.
    QWidget* sheet = &d.preview().PageImage();
    const QRect r(sheet->mapTo(d.main.get(), QPoint(0, 0)), sheet->size());
    int white = 0, dark = 0;
    for (int y = r.top() + 40; y < r.bottom() - 40; y += 2)
        for (int x = r.left() + 40; x < r.right() - 40; x += 2) {
            const QColor c = shot.pixelColor(x, y);
            white += c == QColor(255, 255, 255);
            dark += c.lightness() < 128;
        }
    EXPECT_GT(white, 100);
    EXPECT_GT(dark, 10);
}

TEST(DemoWindow, PageSetupDialogSetsPaperOrientationAndMargins) {
    Demo d;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        const auto combos = dialog->findChildren<QComboBox*>();
        ASSERT_EQ(combos.size(), 2);
        EXPECT_EQ(combos[0]->currentText(), QStringLiteral("A4"));
        combos[0]->setCurrentIndex(Letter);
        combos[1]->setCurrentIndex(kpLandscape);
        const auto margins = dialog->findChildren<QDoubleSpinBox*>();
        ASSERT_EQ(margins.size(), 4);
        EXPECT_DOUBLE_EQ(margins[0]->value(), 15.0);
        margins[0]->setValue(22.5);
        dialog->accept();
    });
    d.main->actPageSetup->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(d.preview().PaperSize(), Letter);
    EXPECT_EQ(d.preview().Orientation(), kpLandscape);
    EXPECT_EQ(d.preview().PaperWidth().value, 27940);
    EXPECT_EQ(d.preview().Margins().Left().value, 2250);
    EXPECT_EQ(d.main->ComboBox1->currentIndex(), 1);
}

TEST(DemoWindow, CancelledPageSetupChangesNothing) {
    Demo d;
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    d.main->actPageSetup->trigger();
    EXPECT_EQ(d.preview().PaperSize(), A4);
    EXPECT_EQ(d.preview().Orientation(), kpPortrait);
}

TEST(DemoWindow, AboutMenuShowsTheAboutBox) {
    Demo d;
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QDialog*>(shown)) dialog->accept();
    });
    d.main->actAboutBox->trigger();
    EXPECT_EQ(shown, d.about.get());
    const auto labels = d.about->findChildren<QLabel*>();
    bool version = false;
    for (QLabel* l : labels)
        version |= l->text() == QStringLiteral("Version 2.42");
    EXPECT_TRUE(version);
    EXPECT_EQ(d.about->size(), QSize(328, 269));
}

TEST(DemoWindow, PrintActionHandsThePreviewToThePrintDialog) {
    Demo d;
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget();
        EXPECT_EQ(d.print->Preview, &d.preview());
        EXPECT_TRUE(d.print->RadioButton2->isChecked());
        EXPECT_TRUE(d.print->Button2->isDefault());
        testmouse::click(d.print->Button1); // Close
    });
    testmouse::click(d.main->SpeedButton27);
    EXPECT_EQ(shown, d.print.get());
    EXPECT_FALSE(d.print->isVisible());
}
