// A load that fails raises to its caller and leaves the open document as it was: its pages
// and their objects, paper, margins, header and current page. No window opens on the way.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpStream.h"
#include "drawing/stream_test_util.h"
#include "preview/KpPreview.h"

using namespace kp;

using streamtest::LoadBytes;
using streamtest::SaveBytes;

namespace {

struct Shown {
    QWidget host;
    TKpPreview* preview = new TKpPreview(&host);
};

// Pages with 1, 2 and 3 texts, a landscape Letter sheet, wide margins, a header; page 2
// current.
void BuildThreePages(TKpPreview& p) {
    p.SetPaperSize(Letter);
    p.SetOrientation(kpLandscape);
    p.Margins().Left().value = 3300;
    p.Header().SetCaptionLeft(QStringLiteral("Kept"));
    p.Header().SetVisible(true);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) p.NewPage();
        for (int k = 0; k < page; ++k)
            p.Canvas().TextOut(10, 10 + 10 * k, QStringLiteral("text"), kpMillimeters);
    }
    p.SetCurrentPage(2);
}

std::vector<int> Counts(TKpPreview& p) {
    std::vector<int> out;
    for (int n = 1; n <= p.NumPages(); ++n)
        out.push_back(p.GetPage(n)->Count());
    return out;
}

} // namespace

TEST(FailedLoad, ADamagedFileLeavesTheOpenDocumentAsItWas) {
    Shown source;
    for (int k = 0; k < 4; ++k)
        source.preview->NewPage();
    const QByteArray good = SaveBytes(*source.preview);
    // Cut inside the last page, and a page count far past the pages there are (after the
    // version, the document's and the first chunk's lengths and the save time).
    constexpr int kPageCountAt = 10 + 4 + 4 + 8;
    ASSERT_EQ(good.mid(kPageCountAt, 4), QByteArray::fromHex("05000000"));
    QByteArray badCount = good;
    badCount.replace(kPageCountAt, 4, QByteArray::fromHex("ffffff7f"));
    // The cut file is refused before its first page, the other after five pages were read.
    const struct {
        QByteArray bytes;
        bool partWay;
    } damaged[] = {{good.left(good.size() - 3), false}, {badCount, true}};
    for (const auto& [bytes, partWay] : damaged) {
        Shown open;
        TKpPreview& p = *open.preview;
        BuildThreePages(p);
        const qsizetype windows = QApplication::topLevelWidgets().size();
        int loads = 0;
        p.OnLoadProgess = [&](void*, int) { ++loads; };
        EXPECT_THROW(LoadBytes(p, bytes), EReadError);
        EXPECT_EQ(loads > 0, partWay);
        EXPECT_EQ(Counts(p), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(p.CurrentPage(), 2);
        EXPECT_EQ(p.PaperSize(), Letter);
        EXPECT_EQ(p.Orientation(), kpLandscape);
        EXPECT_EQ(p.Margins().Left().value, 3300);
        EXPECT_EQ(p.Header().CaptionLeft(), QStringLiteral("Kept"));
        EXPECT_TRUE(p.Header().Visible());
        EXPECT_TRUE(p.AutoRefresh);
        EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
        // A good file still loads over it.
        LoadBytes(p, good);
        EXPECT_EQ(Counts(p), (std::vector<int>{0, 0, 0, 0, 0}));
    }
}

TEST(FailedLoad, AFileThatCannotBeOpenedChangesNothing) {
    Shown open;
    BuildThreePages(*open.preview);
    QTemporaryDir dir;
    EXPECT_THROW(open.preview->LoadFromFile(dir.filePath(QStringLiteral("missing.kpp"))),
                 EFileError);
    EXPECT_EQ(Counts(*open.preview), (std::vector<int>{1, 2, 3}));
}
