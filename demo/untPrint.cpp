#include "demo/untPrint.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "demo/InfoMemo.h"
#include "demo/WindowFont.h"
#include "preview/KpPreview.h"
#include "selectors/KpMultipageImage.h"
#include "selectors/KpPrinterList.h"

using namespace kp;

TfrmPrint::TfrmPrint(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Print"));
    setFixedSize(316, 317);
    setFont(DemoWindowFont());

    // Made first so that the top panel covers it. Out of sight, it takes no keyboard focus.
    KpPrinterList1 = new TKpPrinterList(this);
    KpPrinterList1->setGeometry(16, 32, 177, 22);
    KpPrinterList1->SetItemHeight(16);
    KpPrinterList1->setFocusPolicy(Qt::NoFocus);

    // The top panel, opaque, over the unlinked list.
    auto* topPanel = new QWidget(this);
    topPanel->setGeometry(0, 0, 316, 57);
    topPanel->setAutoFillBackground(true);
    auto* memo = new TInfoMemo({QStringLiteral("Here you can see 2 more Paginor components... "),
                                QStringLiteral("TKpPrinterList and TKpMultipageImage.")},
                               topPanel);
    memo->setGeometry(8, 6, 296, 45); // the panel 292 x 41 and its shadow

    auto underlined = [this](const QString& text, int x, int y) {
        auto* l = new QLabel(text, this);
        QFont f = l->font();
        f.setUnderline(true);
        l->setFont(f);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    underlined(QStringLiteral("Selected Printer:"), 16, 69);
    auto* printerNote = new QLabel(QStringLiteral("(TKpPrinterList component)"), this);
    printerNote->setStyleSheet(QStringLiteral("color: grey;"));
    KpPrinterList2 = new TKpPrinterList(this);
    KpPrinterList2->setGeometry(128, 64, 169, 22);
    KpPrinterList2->SetItemHeight(16);
    printerNote->move(128, 88);
    printerNote->adjustSize();
    underlined(QStringLiteral("Print:"), 16, 129);
    RadioButton2 = new QRadioButton(QStringLiteral("All Pages"), this);
    RadioButton2->move(24, 152);
    RadioButton2->setChecked(true);
    RadioButton1 = new QRadioButton(QStringLiteral("Current Page"), this);
    RadioButton1->move(24, 176);
    underlined(QStringLiteral("Multipage \nPrinting:"), 128, 128);
    KpMultipageImage1 = new TKpMultipageImage(this);
    KpMultipageImage1->move(184, 120);
    KpMultipageImage1->Shadow().SetWidth(2);
    KpMultipageImage1->setToolTip(QStringLiteral("TKpMultipageImage"));
    auto* multipageNote = new QLabel(QStringLiteral("(TKpMultipageImage \n component)"), this);
    multipageNote->setStyleSheet(QStringLiteral("color: grey;"));
    multipageNote->move(184, 200);
    multipageNote->adjustSize();

    auto line = [this](QRect r, QFrame::Shape shape) {
        auto* f = new QFrame(this);
        f->setFrameStyle(shape | QFrame::Sunken);
        f->setGeometry(r);
    };
    line(QRect(112, 64, 2, 169), QFrame::VLine);
    line(QRect(8, 112, 289, 2), QFrame::HLine);
    line(QRect(8, 240, 289, 2), QFrame::HLine);

    Button2 = new QPushButton(QStringLiteral("Print"), this);
    Button2->setGeometry(136, 256, 75, 25);
    Button2->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setGeometry(216, 256, 75, 25);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TfrmPrint::LinkSelectors(TKpPreview* preview) {
    if (KpPrinterList2->Preview() != preview) KpPrinterList2->SetPreview(preview);
    if (KpMultipageImage1->Preview() != preview) KpMultipageImage1->SetPreview(preview);
}

void TfrmPrint::Button2Click() {
    if (Preview) {
        if (RadioButton1->isChecked())
            Preview->PrintCurrentPage();
        else
            Preview->Print();
    }
    close();
}

void TfrmPrint::Button1Click() {
    close();
}
