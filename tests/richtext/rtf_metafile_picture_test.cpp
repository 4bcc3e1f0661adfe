// Pictures in metafile form (\emfblip, \wmetafile) are drawn at their goal size; other data
// in those groups stays a box.
#include <gtest/gtest.h>

#include "platform/metafile_writer.h"
#include "richtext/KpRtfPicture.h"

using namespace kp::rtf;

namespace {

// A 1-inch enhanced metafile filled red, without an outline.
QByteArray RedEmf() {
    mfw::Emf e(2540, 2540);
    e.rec(39, {1, 0, 0x0000FF, 0}).rec(37, {1}).rec(37, {int(0x80000008)});
    return e.rec(43, {0, 0, 97, 97}).done();
}

// A 16-bit metafile as RTF keeps it (no placeable header), its window 100 x 100, filled red.
QByteArray RedWmf() {
    mfw::Wmf w(false);
    w.rec(0x020C, {100, 100}).rec(0x02FC, {0, 0x00FF, 0, 0}).rec(0x012D, {0});
    w.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {1}); // a null pen
    return w.rec(0x041B, {101, 101, 0, 0}).done();
}

struct Case {
    const char* name;
    QByteArray bytes;
    bool drawn;
};

class RtfMetafilePicture : public ::testing::TestWithParam<Case> {};

TEST_P(RtfMetafilePicture, DrawnAtTheGoalSizeOrShownAsABox) {
    TPictureReader reader;
    reader.Begin();
    reader.SetKind(TPictureKind::Metafile);
    reader.SetGoalWidth(1440); // one inch
    reader.SetGoalHeight(720);
    const QByteArray bytes = GetParam().bytes;
    reader.AppendBinary(std::string_view(bytes.constData(), size_t(bytes.size())));
    const TPicture picture = reader.Finish();
    EXPECT_EQ(picture.sizeTwips, QSize(1440, 720));
    EXPECT_EQ(picture.placeholder, !GetParam().drawn);
    EXPECT_EQ(picture.metafile, !GetParam().drawn); // only a box is reported
    if (GetParam().drawn) {
        // Twice the screen's resolution: 192 x 96 pixels, red throughout.
        EXPECT_EQ(picture.image.size(), QSize(192, 96));
        EXPECT_EQ(picture.image.pixel(96, 48), qRgb(255, 0, 0));
        EXPECT_EQ(picture.image.pixel(1, 1), qRgb(255, 0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, RtfMetafilePicture,
                         ::testing::Values(Case{"emf", RedEmf(), true}, Case{"wmf", RedWmf(), true},
                                           Case{"notAMetafile", QByteArray("\x01\x02", 2), false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
