#include "demo/untAbout.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include "demo/DemoLinks.h"
#include "demo/DemoPictures.h"
#include "demo/untMain.h"
#include "demo/WindowFont.h"

namespace {

// A white box with a grey drop shadow 4 pixels to the lower right.
QFrame* shadowedBox(QWidget* parent, QRect r) {
    auto* shadow = new QFrame(parent);
    shadow->setGeometry(r.translated(4, 4));
    shadow->setStyleSheet(QStringLiteral("background: #808080;"));
    auto* box = new QFrame(parent);
    box->setGeometry(r);
    box->setStyleSheet(QStringLiteral("background: white;"));
    return box;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    // No caption. An empty title would show the program's name instead, so it is a space.
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(328, 269);
    setFont(DemoWindowFont());
    OpenAddress = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };

    QFrame* logoBox = shadowedBox(this, QRect(40, 12, 243, 45));
    auto* logo = new QLabel(logoBox);
    logo->setPixmap(QPixmap::fromImage(DemoPicture(QStringLiteral("Logo"))));
    logo->setGeometry(8, 6, 227, 33);

    QFrame* versionBox = shadowedBox(this, QRect(40, 66, 243, 28));
    auto* version = new QLabel(QStringLiteral("Version 2.42"), versionBox);
    QFont vf(QStringLiteral("Times New Roman"));
    vf.setPointSize(12);
    vf.setBold(true);
    version->setFont(vf);
    version->setAlignment(Qt::AlignCenter);
    version->setGeometry(0, 0, 243, 28);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setStyleSheet(QStringLiteral("QFrame { background: white; }"));
    panel->setGeometry(12, 104, 109, 100);
    auto* picture = new QLabel(panel);
    picture->setPixmap(QPixmap::fromImage(DemoPicture(QStringLiteral("AboutPanel"))));
    picture->setGeometry(5, 5, 99, 90);

    const char* captions[] = {"Written by", "Website", "E-mail"};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(QString::fromLatin1(captions[i]), this);
        l->setGeometry(130, 112 + i * 28, 60, 18);
    }
    auto* separator = new QFrame(this);
    separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    separator->setGeometry(192, 108, 2, 86);
    auto* author = new QLabel(MakerAuthor(), this);
    author->setGeometry(200, 112, 124, 18);
    Label2 = new TLinkLabel(MakerWebAddress().mid(8), this);
    Label2->setGeometry(200, 140, 124, 18);
    Label2->OnClick = [this] { Label2Click(); };
    Label7 = new TLinkLabel(MakerEmailAddress(), this);
    Label7->setGeometry(200, 168, 124, 18);
    Label7->OnClick = [this] { Label7Click(); };

    auto* line = new QFrame(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(8, 204, 312, 2);
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setGeometry(231, 212, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmAbout::showEvent(QShowEvent* e) {
    // Centred on the screen, not on the main window as a dialog would be.
    QDialog::showEvent(e);
    if (const QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmAbout::Label2Click() {
    OpenAddress(MakerWebAddress());
}

void TfrmAbout::Label7Click() {
    OpenAddress(QStringLiteral("mailto:") + MakerEmailAddress());
}
