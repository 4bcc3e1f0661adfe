// A document loaded from a file: every page, not only the first and the last, has the
// document's paper in its own orientation, in the preview and in the thumbnail strip.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QWidget>

#include "drawing/KpPage.h"
#include "preview/KpPreview.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

TEST(LoadedDocument, EveryPageHasThePaperSizeAndItsPicture) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.kpp"));
    {
        QWidget host;
        TKpPreview source(&host);
        source.SetPaperSize(A5);
        for (int i = 2; i <= 4; ++i)
            source.NewPage();
        source.GetPage(3)->SetOrientation(kpLandscape);
        source.SaveToFile(path);
    }
    QWidget window;
    window.resize(800, 600);
    auto* preview = new TKpPreview(&window);
    preview->setGeometry(0, 0, 800, 400);
    auto* strip = new TKpThumbnails(&window);
    strip->setGeometry(0, 400, 800, 200);
    strip->SetPreview(preview);
    preview->LoadFromFile(path);
    ASSERT_EQ(preview->NumPages(), 4);
    // A5 is 148.5 x 210 mm: 561 x 794 pixels at 96 dpi.
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        TKpPage* page = preview->GetPage(n);
        const QSize expected = n == 3 ? QSize(794, 561) : QSize(561, 794);
        EXPECT_EQ(QSize(page->Metafile().Width(), page->Metafile().Height()), expected);
        EXPECT_EQ(strip->Thumbnails().Items(n)->PageImage()->Metafile(), &page->Metafile());
        page->UpdateMetafile();
        EXPECT_EQ(QSize(page->Metafile().Width(), page->Metafile().Height()), expected);
    }
}
