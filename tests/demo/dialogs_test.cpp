// The demo's own dialogs as the user meets them: the font dialog of the rich text tab, the
// open dialog and the About box.
#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "demo_fixture.h"

using demotest::DemoWindows;

namespace {

// Runs act on the modal dialog of type T that open() brings up.
template <typename T>
void WhileOpen(const std::function<void()>& open, std::function<void(T&)> act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    open();
    EXPECT_TRUE(seen);
}

} // namespace

TEST(DemoDialogs, FontDialogOpensOnTheCurrentFontAndOkWithoutAChangeKeepsIt) {
    DemoWindows d;
    struct Case {
        const char* pick; // the face picked in the dialog; nullptr: none
        int size;
        const char* expected;
    };
    const Case cases[] = {{nullptr, 10, "Times New Roman"},
                          {"Liberation Sans", 12, "Liberation Sans"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        QFont font = QFont(QStringLiteral("Times New Roman"), 10);
        QFont shown;
        bool ok = false;
        WhileOpen<QFontDialog>([&] { ok = d.main->ChooseFont(font); },
                               [&](QFontDialog& dialog) {
                                   shown = dialog.currentFont();
                                   if (c.pick)
                                       dialog.setCurrentFont(
                                           QFont(QString::fromLatin1(c.pick), c.size));
                                   dialog.accept();
                               });
        ASSERT_TRUE(ok);
        // The dialog shows the face that stands for "Times New Roman", at 10 points.
        EXPECT_EQ(shown.family(), QFontInfo(QFont(QStringLiteral("Times New Roman"))).family());
        EXPECT_EQ(shown.pointSize(), 10);
        EXPECT_EQ(font.family(), QString::fromLatin1(c.expected));
        EXPECT_EQ(font.pointSize(), c.size);
    }
}

TEST(DemoDialogs, OpenDialogAddsTheDefaultExtension) {
    DemoWindows d;
    QTemporaryDir dir;
    QFile typed(dir.filePath(QStringLiteral("typed.kpp")));
    ASSERT_TRUE(typed.open(QIODevice::WriteOnly));
    typed.close();
    QString chosen;
    WhileOpen<QFileDialog>(
        [&] { chosen = d.main->ChooseOpenFile(); },
        [&](QFileDialog& dialog) {
            dialog.setDirectory(dir.path());
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(QStringLiteral("typed"));
            // A "File not found." box would wait for a click.
            QTimer::singleShot(0, [] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                    box->reject();
            });
            QMetaObject::invokeMethod(&dialog, "accept"); // as OK does
        });
    EXPECT_EQ(chosen, dir.filePath(QStringLiteral("typed.kpp")));
}

TEST(DemoDialogs, AboutBoxShowsItsTextsWholeBlankCaptionCentredOnTheScreen) {
    DemoWindows d;
    d.main->move(0, 0);
    WhileOpen<TfrmAbout>([&] { d.main->About1Click(); },
                         [&](TfrmAbout& about) {
                             const QRect screen = about.screen()->availableGeometry();
                             EXPECT_EQ(about.frameGeometry().center(), screen.center());
                             EXPECT_NE(about.geometry().center(), d.main->frameGeometry().center());
                             for (QLabel* l : about.findChildren<QLabel*>()) {
                                 if (l->text().isEmpty()) continue; // pictures
                                 SCOPED_TRACE(l->text().toStdString());
                                 EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()),
                                           l->contentsRect().width());
                             }
                         });
    // A title of its own that is blank: an empty one would be replaced by the program's name.
    EXPECT_FALSE(d.about->windowTitle().isEmpty());
    EXPECT_TRUE(d.about->windowTitle().trimmed().isEmpty());
    EXPECT_EQ(QFontInfo(d.about->font()).family(), QFontInfo(d.main->font()).family());
    EXPECT_EQ(d.about->font().pointSize(), 8);
}
