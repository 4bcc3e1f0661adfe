// Played text drawn from kept layouts gives the pixels of drawText laying it out each time,
// in every font, scale and turn; the tables stay within their budgets.
#include <gtest/gtest.h>

#include <functional>

#include <QImage>
#include <QPainter>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpFontTexts.h"
#include "platform/KpPicture.h"

#include "image_helpers.h"
#include "platform/KpWinFlags.h"

using namespace kp;

namespace {

using testimg::inkCount;
using testimg::whiteImage;

QFont pixelFont(const char* family, int px, bool bold = false, bool italic = false) {
    QFont f{QString::fromLatin1(family)};
    f.setPixelSize(px);
    f.setBold(bold);
    f.setItalic(italic);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

const std::function<void(QPainter&)> kTransforms[] = {
    [](QPainter&) {},
    [](QPainter& p) { p.scale(0.2, 0.2); },
    [](QPainter& p) { p.scale(0.37, 0.41); },
    [](QPainter& p) { p.scale(2.5, 2.5); },
    [](QPainter& p) {
        p.translate(0.3, 0.7);
        p.scale(1.25, 1.25);
    },
    [](QPainter& p) {
        p.translate(60, 100);
        p.rotate(-30);
    },
};

const QString kTexts[] = {
    QStringLiteral("Invoice line 0042"),
    QStringLiteral("Tab\there\r\nand\rthere"),
    QStringLiteral("  blanks around  "),
    QStringLiteral("Gr\u00fc\u00dfe \u20ac 5,00 ffi"),
    QStringLiteral("\u05e9\u05dc\u05d5\u05dd abc 12"), // right-to-left letters, forced LTR
    QStringLiteral("one\u2028two"),                    // a line separator: two lines
    QStringLiteral("long variant\u009cshort"),         // length variants
    QString(),
};

// Each text at three cells (two of them fractional after the transform) in the given font:
// with a table, drawn the ordinary way, then laid out, then from the kept layout.
QImage drawn(const QFont& font, const std::function<void(QPainter&)>& transform,
             const QString& text, TKpFontTexts* kept) {
    QImage img = whiteImage(360, 200);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    transform(p);
    p.setFont(font);
    p.setPen(QColor(0, 0, 128));
    for (const QPointF cell : {QPointF(5, 5), QPointF(20, 60), QPointF(7, 120)}) {
        if (kept)
            kept->DrawPlayed(p, cell, text);
        else
            p.drawText(QRectF(cell, QSizeF(1, 1)), TKpFontTexts::PlayedTextFlags, text);
    }
    return img;
}

} // namespace

TEST(PlayedText, KeptLayoutsDrawTheSamePixelsAsDrawText) {
    const QFont fonts[] = {
        pixelFont("Liberation Sans", 11), pixelFont("Liberation Serif", 17, true),
        pixelFont("Liberation Mono", 8, false, true), pixelFont("Liberation Sans", 43)};
    for (const QFont& font : fonts) {
        // One table per font, shared by every transform: layouts made under one are drawn
        // under the others.
        TKpFontTexts kept;
        for (size_t t = 0; t < std::size(kTransforms); ++t) {
            for (const QString& text : kTexts) {
                const QImage expected = drawn(font, kTransforms[t], text, nullptr);
                const QImage actual = drawn(font, kTransforms[t], text, &kept);
                EXPECT_EQ(inkCount(expected) > 0, !text.isEmpty());
                EXPECT_TRUE(actual == expected)
                    << font.family().toStdString() << " " << font.pixelSize() << "px, transform "
                    << t << ", text " << text.toStdString();
            }
        }
        EXPECT_GT(kept.LaidOutChars(), 0);
    }
}

// A table handed another font lays the text out anew in that font.
TEST(PlayedText, AnotherFontIsLaidOutAnew) {
    TKpFontTexts kept;
    const QString text = QStringLiteral("Invoice line 0042");
    (void)drawn(pixelFont("Liberation Sans", 11), kTransforms[0], text, &kept);
    const QFont other = pixelFont("Liberation Serif", 23, true);
    EXPECT_TRUE(drawn(other, kTransforms[0], text, &kept) ==
                drawn(other, kTransforms[0], text, nullptr));
}

// Advances are the metrics' own; neither table grows past its budget, however many texts.
TEST(PlayedText, TablesStayWithinTheirBudgets) {
    TKpFontTexts kept;
    const QFont font = pixelFont("Liberation Sans", 11);
    const QFontMetrics fm(font);
    const QString longText(TKpFontTexts::kMaxTextLength + 1, QLatin1Char('w'));
    EXPECT_EQ(kept.Advance(fm, longText), fm.horizontalAdvance(longText));
    EXPECT_EQ(kept.KeptChars(), 0); // too long to keep

    QImage img = whiteImage(40, 40);
    QPainter p(&img);
    p.setFont(font);
    qsizetype maxKept = 0, maxLaidOut = 0;
    for (int i = 0; i < 20000; ++i) {
        const QString text = QStringLiteral("Line %1 of the report").arg(i);
        ASSERT_EQ(kept.Advance(fm, text), fm.horizontalAdvance(text)) << i;
        ASSERT_EQ(kept.Advance(fm, text), fm.horizontalAdvance(text)) << i; // kept
        kept.DrawPlayed(p, QPointF(0, 0), text);
        kept.DrawPlayed(p, QPointF(0, 0), text); // laid out the second time
        maxKept = std::max(maxKept, kept.KeptChars());
        maxLaidOut = std::max(maxLaidOut, kept.LaidOutChars());
    }
    EXPECT_LE(maxKept, TKpFontTexts::kKeptBudget);
    EXPECT_LE(maxLaidOut, TKpFontTexts::kLaidOutBudget);
    // The budgets were reached (the tables started again) and are used again.
    EXPECT_GT(maxLaidOut, TKpFontTexts::kLaidOutBudget / 2);
    EXPECT_GT(kept.LaidOutChars(), 0);
}

namespace {

// Texts of several fonts, cells, turns and boxes, each drawn several times.
class TextPage : public TKpPictureSource {
public:
    void DrawPicture(TKpDeviceCanvas& c) const override {
        const struct {
            const char* face;
            int size;
            TFontStyles style;
            int escapement;
        } fonts[] = {{"Liberation Sans", 7, 0, 0},
                     {"Liberation Serif", 11, FontStyleBit(fsBold), 0},
                     {"Liberation Mono", 9, FontStyleBit(fsItalic), 0},
                     {"Liberation Sans", 14, 0, 450}};
        int y = 4;
        for (int round = 0; round < 3; ++round) {
            for (const auto& f : fonts) {
                c.Font().SetName(QString::fromLatin1(f.face));
                c.Font().SetSize(f.size);
                c.Font().SetStyle(f.style);
                c.Font().SetEscapement(f.escapement);
                c.Font().SetColor(round % 2 ? clNavy : clBlack);
                // (A turned opaque cell is not part of this comparison.)
                c.Brush().SetStyle(round == 1 && f.escapement == 0 ? bsSolid : bsClear);
                c.Brush().SetColor(clYellow);
                c.TextOut(6 + round * 3, y, QStringLiteral("Invoice line 0042"));
                c.TextOut(150, y + 3, QStringLiteral("Total \u20ac 1.234,50"));
                QRect box(260, y, 380, y + 40);
                c.DrawText(QStringLiteral("Delivered in two parts, the balance follows"), box,
                           DT_WORDBREAK | DT_CENTER);
                y += 26;
            }
        }
        c.Font().SetEscapement(0);
    }
    uint32_t PictureGeneration() const override { return 1; }
};

QImage play(const TKpMetafile& picture, QSize size) {
    QImage img = whiteImage(size.width(), size.height());
    QPainter painter(&img);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    canvas.PlayMetafile(picture, img.rect());
    return img;
}

} // namespace

// The whole road: a page drawn straight onto the sheet matches its played recording, at its
// own size, shrunk and enlarged.
TEST(PlayedText, PageDrawnStraightMatchesItsRecordingAtEveryScale) {
    TextPage page;
    TKpMetafile picture;
    picture.SetWidth(400);
    picture.SetHeight(330);
    picture.SetSource(&page);
    const TKpMetafile recording(picture);
    ASSERT_TRUE(recording.Recorded());
    for (const QSize size : {QSize(400, 330), QSize(80, 66), QSize(139, 97), QSize(1000, 825)}) {
        const QImage direct = play(picture, size);
        EXPECT_GT(inkCount(direct), 0);
        const QImage rec = play(recording, size);
        QRect diff;
        for (int y = 0; y < rec.height(); ++y)
            for (int x = 0; x < rec.width(); ++x)
                if (rec.pixel(x, y) != direct.pixel(x, y)) diff |= QRect(x, y, 1, 1);
        EXPECT_TRUE(direct == rec)
            << size.width() << " x " << size.height() << " diff " << diff.x() << "," << diff.y()
            << " " << diff.width() << "x" << diff.height();
    }
}
