// The pages-per-sheet selector: its fixed size, buttons, the sheet picture's layout and
// pixels, and following a linked preview both ways.
#include <memory>

#include <QToolButton>

#include "../preview/message_log.h"
#include "print_fixture.h"
#include "selectors/KpMultipageImage.h"
#include "thumbnails/mouse_clicks.h"

using namespace kp;

using namespace kptest;

namespace {

const QColor kGrey(119, 119, 119);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

QImage PictureImage(TKpMultipageImage& selector) {
    return selector.Picture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct Probe {
    int x, y;
    QColor colour;
};

struct SheetCase {
    const char* name;
    TKpPagesPerSheet perSheet;
    TKpOrientation document;
    QSize size;
    int top;
    std::vector<Probe> probes;
};

// The sheet (white, black outline) is (0, 0)-(W - 2, H - 2); the page areas use a bottom two
// pixels higher. Rules run from left + d to right - d, the end pixel excluded.
const SheetCase kSheets[] = {
    {"OnePortrait",
     kpOnePage,
     kpPortrait,
     {45, 60},
     10,
     // R = (0, 0, 43, 56), rules inset 6 at y 6 and 50, x 6..36
     {{6, 6, kGrey},
      {36, 6, kGrey},
      {37, 6, kWhite},
      {5, 6, kWhite},
      {6, 50, kGrey},
      {20, 30, kWhite},
      {0, 0, kBlack},
      {42, 57, kBlack},
      {44, 59, kBlack},
      {1, 58, QColor()}}},
    {"OneLandscape",
     kpOnePage,
     kpLandscape,
     {60, 45},
     18,
     // R = (0, 0, 58, 41): rules at y 6 and 35, x 6..51
     {{6, 6, kGrey}, {51, 6, kGrey}, {52, 6, kWhite}, {6, 35, kGrey}, {30, 20, kWhite}}},
    {"TwoPortrait",
     kpTwoPage,
     kpPortrait,
     {60, 45},
     18,
     // R = (0, 0, 58, 41), split at x 29: areas inset 5, silver divider x 29 from y 1 to 40
     {{5, 5, kGrey},
      {23, 5, kGrey},
      {24, 5, kWhite},
      {34, 5, kGrey},
      {52, 5, kGrey},
      {5, 36, kGrey},
      {29, 1, kSilver},
      {29, 20, kSilver},
      {29, 40, kSilver},
      {28, 20, kWhite}}},
    {"TwoLandscape",
     kpTwoPage,
     kpLandscape,
     {45, 60},
     10,
     // R = (0, 0, 43, 56), split at y 28: a horizontal silver divider from x 1 to 42
     {{1, 28, kSilver},
      {20, 28, kSilver},
      {42, 28, kSilver},
      {20, 27, kWhite},
      {5, 5, kGrey},
      {5, 23, kGrey},
      {5, 33, kGrey},
      {5, 51, kGrey},
      {37, 5, kGrey},
      {38, 5, kWhite}}},
    {"FourPortrait",
     kpFourPage,
     kpPortrait,
     {45, 60},
     10,
     // hw = 21, hh = 28; rules inset 4
     {{21, 1, kSilver},
      {21, 55, kSilver},
      {1, 28, kSilver},
      {42, 28, kSilver},
      {4, 4, kGrey},
      {16, 4, kGrey},
      {17, 4, kWhite},
      {4, 24, kGrey},
      {25, 4, kGrey},
      {38, 4, kGrey},
      {4, 32, kGrey},
      {4, 52, kGrey},
      {25, 52, kGrey}}},
    {"FourLandscape",
     kpFourPage,
     kpLandscape,
     {60, 45},
     18,
     // R = (0, 0, 58, 41), hw = 29, hh = 20
     {{29, 1, kSilver},
      {29, 40, kSilver},
      {1, 20, kSilver},
      {57, 20, kSilver},
      {4, 4, kGrey},
      {24, 4, kGrey},
      {25, 4, kWhite},
      {4, 16, kGrey},
      {33, 24, kGrey}}},
};

} // namespace

class MultipageSheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(MultipageSheet, LaidOutAndPaintedAsTabled) {
    const SheetCase& c = GetParam();
    PreviewHost host;
    host.preview->SetOrientation(c.document);
    TKpMultipageImage selector(host.window.get());
    selector.SetPreview(host.preview);
    selector.SetPagesPerSheet(c.perSheet);
    EXPECT_EQ(selector.Picture()->size(), c.size);
    EXPECT_EQ(selector.Picture()->y(), c.top);
    EXPECT_EQ(selector.Picture()->x(), 40);
    const QImage img = PictureImage(selector);
    ASSERT_EQ(img.size(), c.size);
    for (const Probe& p : c.probes) {
        if (!p.colour.isValid()) continue;
        EXPECT_EQ(img.pixelColor(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
    }
    // The shadow: two black strips right of and below the sheet, starting 2 pixels in.
    const int w = c.size.width(), h = c.size.height();
    EXPECT_EQ(img.pixelColor(w - 1, 2), kBlack);
    EXPECT_EQ(img.pixelColor(2, h - 1), kBlack);
    EXPECT_NE(img.pixelColor(w - 1, 1), kBlack);
    EXPECT_NE(img.pixelColor(1, h - 1), kBlack);

    // Without header and footer only the white sheets and the silver dividers remain.
    selector.SetShowHeaderFooter(false);
    const QImage bare = PictureImage(selector);
    int grey = 0, silver = 0;
    for (int y = 0; y < bare.height(); ++y)
        for (int x = 0; x < bare.width(); ++x) {
            grey += bare.pixelColor(x, y) == kGrey;
            silver += bare.pixelColor(x, y) == kSilver;
        }
    EXPECT_EQ(grey, 0);
    for (const Probe& p : c.probes)
        if (p.colour == kSilver) EXPECT_EQ(bare.pixelColor(p.x, p.y), kSilver);
    EXPECT_EQ(silver > 0, c.perSheet != kpOnePage);
}

INSTANTIATE_TEST_SUITE_P(Sheets, MultipageSheet, ::testing::ValuesIn(kSheets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Multipage, AlwaysOneHundredAndFiveByEightyOne) {
    TKpMultipageImage selector;
    EXPECT_EQ(selector.size(), QSize(105, 81));
    EXPECT_EQ(selector.About(), QStringLiteral("TKpMultipageImage v2.42"));
    selector.resize(300, 200);
    EXPECT_EQ(selector.size(), QSize(105, 81));
    selector.setGeometry(5, 6, 20, 10);
    EXPECT_EQ(selector.geometry(), QRect(5, 6, 105, 81));
    // Size limits force a size too. On a form that shows, the selector takes its own size
    // back at once, and keeps it on a later resize.
    QWidget form;
    auto* onForm = new TKpMultipageImage(&form);
    form.show();
    using Attempt = void (*)(QWidget&);
    const Attempt limits[] = {
        [](QWidget& w) { w.setFixedSize(300, 300); },
        [](QWidget& w) { w.setMinimumSize(200, 150); },
        [](QWidget& w) { w.setMaximumSize(50, 40); },
        [](QWidget& w) { w.setFixedWidth(20); },
    };
    for (Attempt attempt : limits) {
        attempt(*onForm);
        EXPECT_EQ(onForm->size(), QSize(105, 81));
        onForm->resize(300, 300);
        EXPECT_EQ(onForm->size(), QSize(105, 81));
    }
    // Not shown yet, it does so when it shows.
    selector.setFixedSize(300, 300);
    selector.show();
    EXPECT_EQ(selector.size(), QSize(105, 81));
}

TEST(Multipage, StartsWithThreeButtonsOnePageDown) {
    TKpMultipageImage selector;
    EXPECT_TRUE(selector.ShowButtons());
    EXPECT_TRUE(selector.ShowHeaderFooter());
    EXPECT_EQ(selector.PagesPerSheet(), kpOnePage);
    QToolButton* buttons[] = {selector.OnePageButton(), selector.TwoPageButton(),
                              selector.FourPageButton()};
    const int tops[] = {4, 28, 52};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(buttons[i], nullptr);
        EXPECT_EQ(buttons[i]->pos(), QPoint(8, tops[i]));
        EXPECT_EQ(buttons[i]->isChecked(), i == 0);
        EXPECT_FALSE(buttons[i]->icon().isNull());
    }
    EXPECT_EQ(selector.Picture()->geometry(), QRect(40, 10, 45, 60));
    EXPECT_EQ(selector.Shadow().Width(), 2);
    EXPECT_EQ(selector.Picture()->Gutter(), 0);
}

TEST(Multipage, HidingTheButtonsMovesThePictureAndShowingRecreatesThem) {
    TKpMultipageImage selector;
    selector.SetPagesPerSheet(kpFourPage);
    EXPECT_TRUE(selector.FourPageButton()->isChecked());
    selector.SetShowButtons(false);
    EXPECT_EQ(selector.Picture()->x(), 4);
    EXPECT_EQ(selector.OnePageButton(), nullptr);
    EXPECT_EQ(selector.findChildren<QToolButton*>().size(), 0);
    selector.SetPagesPerSheet(kpTwoPage); // no buttons to set
    selector.SetPagesPerSheet(kpFourPage);
    selector.SetShowButtons(true);
    EXPECT_EQ(selector.Picture()->x(), 40);
    EXPECT_EQ(selector.findChildren<QToolButton*>().size(), 3);
    // Recreated with the one-page button down, whatever the setting.
    EXPECT_TRUE(selector.OnePageButton()->isChecked());
    EXPECT_FALSE(selector.FourPageButton()->isChecked());
    EXPECT_EQ(selector.PagesPerSheet(), kpFourPage);
}

TEST(Multipage, ButtonsChooseAndFireTheirEventsOnce) {
    PreviewHost host;
    TKpMultipageImage selector(host.window.get());
    selector.SetPreview(host.preview);
    std::vector<std::string> log;
    selector.OnClickOnePage = [&](void* s) { log.push_back(s == &selector ? "one" : "?"); };
    selector.OnClickTwoPage = [&](void* s) { log.push_back(s == &selector ? "two" : "?"); };
    selector.OnClickFourPage = [&](void* s) { log.push_back(s == &selector ? "four" : "?"); };
    testmouse::click(selector.TwoPageButton());
    EXPECT_EQ(selector.PagesPerSheet(), kpTwoPage);
    EXPECT_EQ(host.preview->PagesPerSheet(), kpTwoPage);
    EXPECT_TRUE(selector.TwoPageButton()->isChecked());
    EXPECT_FALSE(selector.OnePageButton()->isChecked());
    testmouse::click(selector.TwoPageButton()); // the current setting: nothing
    testmouse::click(selector.FourPageButton());
    testmouse::click(selector.OnePageButton());
    EXPECT_EQ(log, (std::vector<std::string>{"two", "four", "one"}));
    EXPECT_EQ(host.preview->PagesPerSheet(), kpOnePage);
}

TEST(Multipage, SettingTheSameValuePushesItToThePreviewAgain) {
    PreviewHost host;
    MessageLog messages;
    host.preview->AddLinkedControl(&messages);
    TKpMultipageImage selector(host.window.get());
    selector.SetPreview(host.preview);
    messages.entries.clear();
    selector.SetPagesPerSheet(kpOnePage);
    selector.SetPagesPerSheet(kpOnePage);
    EXPECT_EQ(messages.count(KPM_PAGESPERSHEETCHANGED), 2);
}

TEST(Multipage, FollowsThePreview) {
    PreviewHost host;
    host.preview->SetPagesPerSheet(kpFourPage);
    TKpMultipageImage selector(host.window.get());
    selector.SetPreview(host.preview);
    EXPECT_EQ(selector.PagesPerSheet(), kpFourPage); // taken over when linked
    host.preview->SetPagesPerSheet(kpTwoPage);
    EXPECT_EQ(selector.PagesPerSheet(), kpTwoPage);
    EXPECT_TRUE(selector.TwoPageButton()->isChecked());
    EXPECT_EQ(selector.Picture()->size(), QSize(60, 45));
    host.preview->SetOrientation(kpLandscape);
    EXPECT_EQ(selector.Picture()->geometry(), QRect(40, 10, 45, 60));
    EXPECT_EQ(selector.Picture()->Orientation, kpLandscape);
}

TEST(Multipage, ThePreviewGoingIsForgotten) {
    auto host = std::make_unique<PreviewHost>();
    TKpMultipageImage selector;
    selector.SetPreview(host->preview);
    host.reset();
    EXPECT_EQ(selector.Preview(), nullptr);
    selector.SetPagesPerSheet(kpTwoPage); // nothing to push to
    EXPECT_EQ(selector.PagesPerSheet(), kpTwoPage);

    PreviewHost other;
    auto second = std::make_unique<TKpMultipageImage>();
    second->SetPreview(other.preview);
    QObject* raw = second.get();
    second.reset();
    const auto& linked = other.preview->LinkedControls();
    EXPECT_EQ(std::count(linked.begin(), linked.end(), raw), 0);
}

TEST(Multipage, ShadowTakesTheGivenSettings) {
    TKpMultipageImage selector;
    TKpShadow shadow;
    shadow.SetColor(clRed);
    shadow.SetWidth(4);
    shadow.SetVisible(false);
    selector.SetShadow(shadow);
    EXPECT_EQ(selector.Shadow().Color(), clRed);
    EXPECT_EQ(selector.Shadow().Width(), 4);
    EXPECT_FALSE(selector.Shadow().Visible());
}
