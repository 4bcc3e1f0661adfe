// Values a writer works out rather than stores (page number, page count, date, time) and tab
// leaders: what the reader leaves in the text and what the layout draws over it.
#include <gtest/gtest.h>

#include <QPaintEngine>
#include <QTextBlock>

#include "richtext/KpPageFields.h"
#include "richtext/KpRichTextLayout.h"
#include "richtext/KpRtfField.h"
#include "rtf_recording_device.h"
#include "rtf_test_helpers.h"

namespace {

constexpr int kWidth = 9000, kHeight = 12000;
const QString kTwoFigures = QString(2, QChar(0x2007));

// Every page of a document, each drawn onto its own recorder.
std::vector<std::unique_ptr<TRecordingDevice>> DrawPages(QTextDocument& doc) {
    TKpRichTextLayout layout(doc);
    std::vector<std::unique_ptr<TRecordingDevice>> pages;
    for (int from = 0; from < layout.Length();) {
        const TKpTextPage page = layout.Page(from, kWidth, kHeight);
        auto device = std::make_unique<TRecordingDevice>();
        {
            QPainter p(device.get());
            layout.Draw(p, page, 0, 0, 96, 96);
        }
        pages.push_back(std::move(device));
        if (page.next <= from) break;
        from = page.next;
    }
    return pages;
}

QStringList Texts(const TRecordingDevice& d) {
    QStringList out;
    for (const auto& t : d.engine.texts)
        out << t.text;
    return out;
}

TEST(RtfPageFields, ReaderLeavesPlaceholdersMarkedForTheLayout) {
    TRtfRead r(R"({\rtf1 A{\field{\*\fldinst { PAGE }}{\fldrslt {7}}}B\chpgn C)"
               R"({\field{\*\fldinst NUMPAGES \\* MERGEFORMAT}{\fldrslt 123}}})");
    EXPECT_EQ(r.Text(), QStringLiteral("A") + QString(1, QChar(0x2007)) + "B" + kTwoFigures + "C" +
                            QString(3, QChar(0x2007)));
    const QTextBlock b = r.doc.begin();
    std::vector<int> kinds;
    for (auto it = b.begin(); !it.atEnd(); ++it)
        kinds.push_back(it.fragment().charFormat().intProperty(KpPageFieldProperty));
    EXPECT_EQ(kinds, (std::vector<int>{0, 1, 0, 1, 0, 2}));
}

TEST(RtfPageFields, DateAndTimeAreWorkedOutInTheirPicture) {
    const QDateTime at(QDate(2026, 3, 4), QTime(17, 5, 9));
    struct {
        const char* instruction;
        rtf::TFieldKind kind;
        const char* text;
    } cases[] = {
        {R"(DATE \@ "dd.MM.yyyy")", rtf::TFieldKind::Date, "04.03.2026"},
        {R"(TIME \@ "h:mm AM/PM")", rtf::TFieldKind::Time, "5:05 PM"},
        {R"( time \@ "HH:mm:ss")", rtf::TFieldKind::Time, "17:05:09"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rtf::FieldKind(QString::fromLatin1(c.instruction)), c.kind) << c.instruction;
        EXPECT_EQ(rtf::DateTimeFieldText(c.kind, QString::fromLatin1(c.instruction), at),
                  QLatin1String(c.text));
    }
    EXPECT_EQ(rtf::FieldKind(QStringLiteral("PAGEREF x")), rtf::TFieldKind::Stored);
    // The stored result of a date field is replaced by today's date.
    TRtfRead r(R"({\rtf1 {\field{\*\fldinst DATE \\@ "yyyy"}{\fldrslt 1999}}})");
    EXPECT_EQ(r.Text(), QString::number(QDate::currentDate().year()));
}

TEST(RtfPageFields, LayoutDrawsEachPagesNumberAndTheCount) {
    TRtfRead r(R"({\rtf1 P{\field{\*\fldinst PAGE}{\fldrslt 1}}/{\field{\*\fldinst NUMPAGES})"
               R"({\fldrslt 9}}\page Q\chpgn\page R\par \chpgn})");
    const auto pages = DrawPages(r.doc);
    ASSERT_EQ(pages.size(), 3u);
    const QStringList first = Texts(*pages[0]);
    EXPECT_TRUE(first.contains(QStringLiteral("1")) && first.contains(QStringLiteral("3")))
        << first.join('|').toStdString();
    EXPECT_FALSE(first.contains(QStringLiteral("9")));
    EXPECT_TRUE(Texts(*pages[1]).contains(QStringLiteral("2")));
    EXPECT_EQ(Texts(*pages[2]).count(QStringLiteral("3")), 1);
    // The number stands where its placeholder is: after the "P" and before the "/".
    double p = -1, number = -1, slash = -1;
    for (const auto& t : pages[0]->engine.texts) {
        if (t.text.startsWith('P')) p = t.at.x();
        if (t.text == QLatin1String("1")) number = t.at.x();
        if (t.text.startsWith('/')) slash = t.at.x();
    }
    EXPECT_LT(p, number);
    EXPECT_LT(number, slash);
}

TEST(RtfTabLeaders, GapBeforeALeaderStopIsFilled) {
    // A right stop at 3 inches (dots) and a left one at 4 inches (a line); the last tab goes
    // to a default stop and has no leader.
    TRtfRead r(R"({\rtf1 \pard\tqr\tldot\tx4320\tlul\tx5760 Intro\tab 12\tab end\tab x\par})");
    ASSERT_EQ(r.doc.begin().blockFormat().property(KpTabLeadersProperty).toString().left(2),
              QStringLiteral("._"));
    const auto pages = DrawPages(r.doc);
    ASSERT_EQ(pages.size(), 1u);
    const TRecordingEngine& e = pages[0]->engine;
    qsizetype dots = 0;
    double dotsRight = 0;
    for (const auto& t : e.texts) {
        if (t.text.size() > 3 && t.text.count('.') == t.text.size()) {
            dots = t.text.size();
            dotsRight = t.at.x();
        }
    }
    // "Intro" ends near 0.4 inch; the dots run towards 3 inches (288 px at 96 dpi).
    EXPECT_GT(dots, 20);
    EXPECT_GT(dotsRight, 40);
    ASSERT_EQ(e.lines.size(), 1u);
    EXPECT_NEAR(e.lines[0].x2(), 5760 / 15.0, 1.0);
    EXPECT_LT(e.lines[0].x1(), 5760 / 15.0 - 40);
}

} // namespace
