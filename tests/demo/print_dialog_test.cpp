// The print dialog: its selectors, Enter printing every page, "Current Page" printing the
// page shown, and the selectors' choices reaching the print job (on a virtual printer; the
// printing tests run the same through the real spooler).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "demo_fixture.h"
#include "platform/KpPrinterDevice.h"
#include "printing/KpPrinter.h"
#include "selectors/KpMultipageImage.h"
#include "selectors/KpPrinterList.h"
#include "thumbnails/mouse_clicks.h"

using namespace kp;

using demotest::DemoWindows;

namespace {

// A virtual printer as the system printer for the test (installed before the windows).
struct VirtualPrinters {
    explicit VirtualPrinters(const QStringList& names) {
        std::vector<TKpVirtualPrinterSetup> setups;
        for (const QString& n : names) {
            TKpVirtualPrinterSetup s;
            s.Name = n;
            s.Resolution = 150;
            setups.push_back(s);
        }
        auto backend = std::make_unique<TKpVirtualPrinterBackend>(std::move(setups));
        jobs = backend.get();
        scope = std::make_unique<TKpScopedPrinterBackend>(std::move(backend));
    }
    TKpVirtualPrinterBackend* jobs;
    std::unique_ptr<TKpScopedPrinterBackend> scope;
};

// Opens the print dialog through the window's print button and lets act work on it.
void WithPrintDialog(DemoWindows& d, const std::function<void(TfrmPrint&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<TfrmPrint*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    testmouse::click(d.main->SpeedButton27);
    EXPECT_TRUE(seen);
}

// A key pressed where the user's keyboard focus is; the dialog takes what its controls leave.
void PressKey(QDialog& dialog, Qt::Key key) {
    QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

void PressEnter(QDialog& dialog) {
    PressKey(dialog, Qt::Key_Return);
}

// Where the text of a label or a radio button ends, in dialog coordinates.
int TextRight(QWidget* w) {
    int left = 0;
    if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        left = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio).x();
    }
    return w->x() + left + w->fontMetrics().horizontalAdvance(w->property("text").toString());
}

} // namespace

TEST(PrintDialog, HoldsTheTwoSelectorsAsLaidOut) {
    VirtualPrinters printers({QStringLiteral("Alpha"), QStringLiteral("Beta")});
    DemoWindows d;
    TfrmPrint& p = *d.print;
    EXPECT_EQ(p.size(), QSize(316, 317));
    EXPECT_EQ(p.KpPrinterList1->geometry(), QRect(16, 32, 177, 22));
    EXPECT_EQ(p.KpPrinterList1->Preview(), nullptr);
    EXPECT_EQ(p.KpPrinterList1->count(), 0);
    EXPECT_EQ(p.KpPrinterList2->geometry(), QRect(128, 64, 169, 22));
    EXPECT_EQ(p.KpPrinterList2->ItemHeight(), 16);
    EXPECT_EQ(p.KpMultipageImage1->geometry(), QRect(184, 120, 105, 81));
    EXPECT_EQ(p.KpMultipageImage1->toolTip(), QStringLiteral("TKpMultipageImage"));
    EXPECT_EQ(p.KpMultipageImage1->Shadow().Width(), 2);
    // The top panel covers the unlinked list: a widget over its centre is not the list.
    QWidget* atList = p.childAt(p.KpPrinterList1->geometry().center());
    EXPECT_NE(atList, p.KpPrinterList1);
    // Linked to the main window's preview: the printers are listed, the first selected.
    WithPrintDialog(d, [&](TfrmPrint& dialog) {
        EXPECT_EQ(dialog.KpPrinterList2->Preview(), &d.preview());
        EXPECT_EQ(dialog.KpMultipageImage1->Preview(), &d.preview());
        ASSERT_EQ(dialog.KpPrinterList2->count(), 2);
        EXPECT_EQ(dialog.KpPrinterList2->currentIndex(), 0);
    });
}

TEST(PrintDialog, EnterPrintsAllPagesAndCurrentPagePrintsTheOneShown) {
    VirtualPrinters printers({QStringLiteral("Alpha")});
    DemoWindows d;
    d.main->actCanvas->trigger();
    d.preview().SetCurrentPage(3);
    WithPrintDialog(d, [](TfrmPrint& dialog) { PressEnter(dialog); });
    ASSERT_EQ(printers.jobs->Jobs().size(), 1u);
    EXPECT_EQ(printers.jobs->Jobs()[0].Pages, 7);
    EXPECT_TRUE(printers.jobs->Jobs()[0].Completed);
    EXPECT_FALSE(d.print->isVisible());

    WithPrintDialog(d, [](TfrmPrint& dialog) {
        EXPECT_TRUE(dialog.RadioButton2->isChecked()); // "All Pages" as left
        dialog.RadioButton1->setChecked(true);
        PressEnter(dialog);
    });
    ASSERT_EQ(printers.jobs->Jobs().size(), 2u);
    EXPECT_EQ(printers.jobs->Jobs()[1].Pages, 1);
    // The choice stays for the next showing.
    EXPECT_TRUE(d.print->RadioButton1->isChecked());
    EXPECT_TRUE(d.errors.empty());
}

TEST(PrintDialog, TheSelectorsChooseThePrinterAndTheSheetLayout) {
    VirtualPrinters printers({QStringLiteral("Alpha"), QStringLiteral("Beta")});
    DemoWindows d;
    d.main->actCanvas->trigger();
    WithPrintDialog(d, [](TfrmPrint& dialog) {
        dialog.KpPrinterList2->setCurrentIndex(1);
        emit dialog.KpPrinterList2->activated(1);
        testmouse::click(dialog.KpMultipageImage1->FourPageButton());
        dialog.RadioButton2->setChecked(true);
        testmouse::click(dialog.Button2);
    });
    EXPECT_EQ(d.preview().PagesPerSheet(), kpFourPage);
    ASSERT_EQ(printers.jobs->Jobs().size(), 1u);
    EXPECT_EQ(printers.jobs->Jobs()[0].PrinterName, QStringLiteral("Beta"));
    EXPECT_EQ(printers.jobs->Jobs()[0].Pages, 2); // seven pages four to a sheet
}

TEST(PrintDialog, CloseAndNoPrinterPrintNothing) {
    VirtualPrinters printers({});
    DemoWindows d;
    WithPrintDialog(d, [](TfrmPrint& dialog) {
        EXPECT_EQ(dialog.KpPrinterList2->count(), 0);
        EXPECT_EQ(dialog.KpPrinterList2->currentIndex(), -1);
        PressEnter(dialog);
    });
    EXPECT_TRUE(printers.jobs->Jobs().empty());
    WithPrintDialog(d, [](TfrmPrint& dialog) { testmouse::click(dialog.Button1); });
    EXPECT_TRUE(printers.jobs->Jobs().empty());
    EXPECT_TRUE(d.errors.empty());
}

TEST(PrintDialog, SelectorsFollowThePreviewBeforeTheFirstShowing) {
    VirtualPrinters printers({QStringLiteral("Alpha"), QStringLiteral("Beta")});
    DemoWindows d;
    EXPECT_EQ(d.print->KpPrinterList2->Preview(), &d.preview());
    EXPECT_EQ(d.print->KpPrinterList2->count(), 2);
    EXPECT_EQ(d.print->KpMultipageImage1->Preview(), &d.preview());
    d.preview().SetPagesPerSheet(kpTwoPage);
    EXPECT_EQ(d.print->KpMultipageImage1->PagesPerSheet(), kpTwoPage);
    EXPECT_EQ(d.print->KpPrinterList1->Preview(), nullptr);
}

TEST(PrintDialog, KeyboardStartsOnTheVisiblePrinterList) {
    VirtualPrinters printers({QStringLiteral("Alpha"), QStringLiteral("Beta")});
    DemoWindows d;
    WithPrintDialog(d, [&](TfrmPrint& dialog) {
        // The focus comes with the window's activation.
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.focusWidget() != nullptr; }));
        EXPECT_EQ(dialog.focusWidget(), dialog.KpPrinterList2);
        PressKey(dialog, Qt::Key_Down);
        EXPECT_EQ(dialog.KpPrinterList2->currentIndex(), 1);
        EXPECT_EQ(d.preview().KpPrinter().PrinterIndex(), 1);
        // Round the whole tab chain: the covered list is never reached.
        for (int i = 0; i < 12; ++i) {
            PressKey(dialog, Qt::Key_Tab);
            EXPECT_NE(dialog.focusWidget(), dialog.KpPrinterList1);
        }
    });
}

TEST(PrintDialog, TextsInTheWindowFontClearOfTheLinesOnAnInfoColouredMemo) {
    VirtualPrinters printers({QStringLiteral("Alpha")});
    DemoWindows d;
    TfrmPrint& p = *d.print;
    EXPECT_EQ(QFontInfo(p.font()).family(), QFontInfo(d.main->font()).family());
    EXPECT_EQ(p.font().pointSize(), 8);
    // Left of the vertical line at x = 112, texts end before it.
    int checked = 0;
    for (QWidget* w : p.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->x() >= 112 || w->y() < 64 || w->y() > 233) continue;
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QRadioButton*>(w)) continue;
        SCOPED_TRACE(w->property("text").toString().toStdString());
        EXPECT_LT(TextRight(w), 112);
        ++checked;
    }
    EXPECT_EQ(checked, 4); // "Selected Printer:", "Print:", "All Pages", "Current Page"

    ASSERT_EQ(demotest::Memos(&p).size(), 1u);
    TInfoMemo* memo = demotest::Memos(&p).front();
    QStringList lines;
    for (const QString& line : memo->Lines())
        lines << line.trimmed();
    EXPECT_EQ(memo->Rows(memo->width()), lines); // every line whole on its row
    const QImage shot = p.grab().toImage();
    const QPoint panelCorner = memo->mapTo(&p, QPoint(2, 2));
    EXPECT_EQ(shot.pixelColor(panelCorner), QColor(0xFF, 0xFF, 0xDC));
    EXPECT_EQ(shot.pixelColor(memo->mapTo(&p, QPoint(memo->width() - 2, memo->height() - 2))),
              QColor(128, 128, 128)); // the shadow
}
