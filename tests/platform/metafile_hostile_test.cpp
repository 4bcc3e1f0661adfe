// Damaged and hostile metafiles: each returns quickly with the fault and the byte where it
// starts, after drawing what came before it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include "platform/KpMetafilePlayer.h"

#include "image_helpers.h"
#include "platform/metafile_writer.h"

using namespace kp;

namespace {

using mfw::Emf;
using mfw::Wmf;

struct Hostile {
    const char* name;
    std::function<QByteArray()> bytes;
    bool ok;
    qint64 offset;
};

QByteArray emfWith(const std::function<void(Emf&)>& add) {
    Emf e;
    e.rec(37, {int(0x80000008)}).rec(37, {int(0x80000004)}).rec(43, {0, 0, 10, 10});
    add(e);
    return e.done();
}

// The header and the first three records take 88 + 12 + 12 + 24 bytes.
constexpr qint64 kAfter = 136;

QByteArray wmfWith(const std::function<void(Wmf&)>& add) {
    Wmf w(true, 0, 0, 100, 100, 96);
    add(w);
    return w.done();
}

constexpr qint64 kWmfFirst = 22 + 18;

const Hostile kCases[] = {
    {"empty", [] { return QByteArray(); }, false, 0},
    {"ten bytes", [] { return QByteArray(10, 'x'); }, false, 0},
    {"truncated header", [] { return Emf().done().left(60); }, false, 0},
    {"header size past the end",
     [] {
         QByteArray b = Emf().done();
         mfw::put32(b, 4, 5000);
         return b;
     },
     false, 0},
    {"record size 0",
     [] { return emfWith([](Emf& e) { e.raw(43, {}); }).replace(kAfter + 4, 4, "\0\0\0\0", 4); },
     false, kAfter},
    {"record size past the end",
     [] {
         QByteArray b = emfWith([](Emf& e) { e.rec(43, {0, 0, 1, 1}); });
         mfw::put32(b, int(kAfter) + 4, 0x7FFFFFF0);
         return b;
     },
     false, kAfter},
    {"no end record", [] { return emfWith([](Emf&) {}).left(int(kAfter)); }, false, kAfter},
    {"huge point count",
     [] { return emfWith([](Emf& e) {
              e.rec(3, {0, 0, 0, 0, 0x7FFFFFFF, 1, 2});
          }); }, false,
     kAfter},
    {"huge poly-polygon counts",
     [] { return emfWith([](Emf& e) {
              e.rec(8, {0, 0, 0, 0, -1, -1, 5, 5});
          }); }, false, kAfter},
    {"huge text length",
     [] {
         return emfWith([](Emf& e) { e.text(0, 0, "abc"); })
             .replace(kAfter + 44, 4, "\xff\xff\xff\x7f", 4);
     },
     false, kAfter},
    {"huge bitmap",
     [] {
         QByteArray b = emfWith([](Emf& e) { e.stretchDib(0, 0, 10, 10, 1, 1, {0}); });
         mfw::put32(b, int(kAfter) + 80 + 4, 1 << 30); // width
         return b;
     },
     true, -1},
    {"object index far out",
     [] { return emfWith([](Emf& e) {
              e.rec(39, {0x7FFFFFF0, 0, 0, 0}).rec(37, {0x7FFFFFF0});
          }); },
     true, -1},
    {"restore without save", [] { return emfWith([](Emf& e) { e.rec(34, {-5}).rec(34, {7}); }); },
     true, -1},
    {"endless saves",
     [] {
         return emfWith([](Emf& e) {
             for (int i = 0; i < 2000; ++i)
                 e.rec(33, {});
         });
     },
     false, kAfter + 1024 * 8},
    {"region count past its data",
     [] { return emfWith([](Emf& e) {
              e.rec(75, {48, 5, 32, 1, 1000, 16, 0, 0, 1, 1});
          }); }, false,
     kAfter},
    {"wide dashes squeezed a hundred million times",
     [] {
         QByteArray b = emfWith([](Emf& e) {
             e.rec(38, {2, 4, 24864, 0, 0xFF0000}).rec(37, {2});
             e.rec(43, {10, 268435526, 60, 120});
         });
         // No frame: the bounds, 1.7e9 pixels high, are the picture.
         mfw::put32(b, 20, 1766654143);
         mfw::put32(b, 32, 0);
         mfw::put32(b, 36, 0);
         return b;
     },
     true, -1},
    {"wmf record size 0",
     [] { return wmfWith([](Wmf& w) { w.raw(0x041B, {}); }).replace(kWmfFirst, 4, "\0\0\0\0", 4); },
     false, kWmfFirst},
    {"wmf size past the end",
     [] {
         QByteArray b = wmfWith([](Wmf& w) { w.rec(0x041B, {1, 1, 0, 0}); });
         mfw::put32(b, int(kWmfFirst), 0x40000000);
         return b;
     },
     false, kWmfFirst},
    {"wmf huge polygon", [] { return wmfWith([](Wmf& w) {
                                  w.rec(0x0324, {0xFFFF, 1, 2});
                              }); },
     false, kWmfFirst},
    {"wmf huge text", [] { return wmfWith([](Wmf& w) {
                               w.rec(0x0521, {0x7FFF, 1, 2});
                           }); }, false,
     kWmfFirst},
    {"wmf endless objects",
     [] {
         return wmfWith([](Wmf& w) {
             for (int i = 0; i < 70000; ++i)
                 w.rec(0x02FC, {0, 0, 0, 0});
         });
     },
     true, -1},
    {"wmf no end record", [] { return wmfWith([](Wmf&) {}).chopped(6); }, false, kWmfFirst},
};

class MetafileHostile : public ::testing::TestWithParam<Hostile> {};

TEST_P(MetafileHostile, FailsQuicklyAtTheFault) {
    const Hostile& c = GetParam();
    const QByteArray bytes = c.bytes();
    QImage img = testimg::whiteImage(192, 192);
    QPainter p(&img);
    QElapsedTimer timer;
    timer.start();
    const TKpMetafileResult r = KpPlayMetafile(bytes, p, QRectF(0, 0, 192, 192));
    EXPECT_LT(timer.elapsed(), 2000) << c.name;
    p.end();
    EXPECT_EQ(r.Ok, c.ok) << c.name << ": " << r.Error.toStdString();
    EXPECT_EQ(r.Offset, c.offset) << c.name;
    EXPECT_EQ(r.Error.isEmpty(), c.ok) << c.name;
    // What came before the fault is drawn.
    if (c.offset >= kAfter) EXPECT_EQ(testimg::inkCount(img), 81) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Inputs, MetafileHostile, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
