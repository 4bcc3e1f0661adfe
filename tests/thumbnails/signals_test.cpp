// The strip's Qt signals beside its events, and its enabled switch published under a name that
// does not clash with QWidget's.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <QMetaProperty>
#include <QSignalSpy>

#include "mouse_clicks.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

namespace {

// A strip of four thumbnails following a preview.
struct FourPages {
    QWidget window;
    TKpPreview* preview = new TKpPreview(&window);
    TKpThumbnails* strip = new TKpThumbnails(&window);
    FourPages() {
        window.resize(800, 600);
        preview->setGeometry(0, 0, 800, 400);
        strip->setGeometry(0, 400, 800, 200);
        for (int i = 0; i < 3; ++i)
            preview->NewPage();
        preview->FirstPage();
        strip->SetPreview(preview);
    }
    TKpThumbnail* T(int n) { return strip->Thumbnails().Items(n); }
};

struct StripCase {
    const char* name;
    std::function<void(FourPages&)> action;
    const char* signal;
    int count;
    QVariant argument;
};

const StripCase kCases[] = {
    {"Press", [](FourPages& f) { testmouse::click(f.T(3)->PageImage()); },
     SIGNAL(thumbnailPressed(int)), 1, 3},
    {"RightPress", [](FourPages& f) { testmouse::click(f.T(2)->PageImage(), Qt::RightButton); },
     SIGNAL(thumbnailPressed(int)), 1, 2},
    {"Caption", [](FourPages& f) { testmouse::click(f.T(4)->Label()); },
     SIGNAL(captionClicked(int)), 1, 4},
    {"Disable", [](FourPages& f) { f.strip->SetEnabled(false); },
     SIGNAL(thumbnailsEnabledChanged(bool)), 1, false},
    {"EnableAgain",
     [](FourPages& f) { f.strip->SetEnabled(true); },
     SIGNAL(thumbnailsEnabledChanged(bool)),
     0,
     {}},
    {"DisableByProperty", [](FourPages& f) { f.strip->setProperty("thumbnailsEnabled", false); },
     SIGNAL(thumbnailsEnabledChanged(bool)), 1, false},
};

class StripSignals : public ::testing::TestWithParam<StripCase> {};

} // namespace

TEST_P(StripSignals, EmittedWithTheirPage) {
    const StripCase& c = GetParam();
    FourPages f;
    QSignalSpy spy(f.strip, c.signal);
    ASSERT_TRUE(spy.isValid());
    c.action(f);
    ASSERT_EQ(spy.count(), c.count);
    if (c.count > 0) EXPECT_EQ(spy.last().value(0), c.argument);
}

INSTANTIATE_TEST_SUITE_P(Table, StripSignals, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StripSignalsProperty, ThumbnailsEnabledLeavesQWidgetsEnabledAlone) {
    FourPages f;
    const QMetaObject& meta = TKpThumbnails::staticMetaObject;
    const QMetaProperty p = meta.property(meta.indexOfProperty("thumbnailsEnabled"));
    ASSERT_TRUE(p.isValid());
    EXPECT_TRUE(p.isDesignable());
    EXPECT_EQ(p.notifySignal().name(), "thumbnailsEnabledChanged");
    EXPECT_FALSE(meta.property(meta.indexOfProperty("Enabled")).isDesignable());
    f.strip->setProperty("enabled", false); // QWidget's: the strip's own switch stays on
    EXPECT_TRUE(f.strip->Enabled());
    EXPECT_EQ(f.strip->property("thumbnailsEnabled"), QVariant(true));
}
