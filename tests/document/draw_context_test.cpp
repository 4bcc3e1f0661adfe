// Caption tokens are replaced from the draw context alone: page, page count and the moment
// the context names; without tokens a text is drawn as it stands.
#include <gtest/gtest.h>

#include <QLocale>

#include "drawing/KpDrawContext.h"

using namespace kp;

namespace {

struct TokenCase {
    const char* text;
    int pageNum;
    bool tokens;
    QString expected;
};

class DrawContextTokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(DrawContextTokens, Substitute) {
    TKpDrawContext context;
    context.Tokens = GetParam().tokens;
    context.PageCount = 5;
    context.Now = QDateTime(QDate(2026, 3, 7), QTime(9, 5));
    EXPECT_EQ(context.Substitute(QString::fromLatin1(GetParam().text), GetParam().pageNum),
              GetParam().expected);
}

const QString march = QLocale().monthName(3, QLocale::ShortFormat);

INSTANTIATE_TEST_SUITE_P(
    Table, DrawContextTokens,
    ::testing::Values(TokenCase{"Page {PAGE} of {NUMPAGES}", 2, true, "Page 2 of 5"},
                      TokenCase{"{PAGE}{PAGE}", 12, true, "1212"},
                      TokenCase{"{page} {Page}", 3, true, "{page} {Page}"},
                      TokenCase{"Page {PAGE} of {NUMPAGES}", 2, false, "Page {PAGE} of {NUMPAGES}"},
                      TokenCase{"{DATE} {TIME}", 1, true, "07-" + march + "-2026 09:05"},
                      TokenCase{"no token", 1, true, "no token"}));

} // namespace
