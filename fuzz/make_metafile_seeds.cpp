// Writes the metafile player's seeds: small enhanced and 16-bit metafiles, written record by
// record as the player's tests write them, that together reach every kind of record the
// player draws (run with the seed folder as argument).
#include <cstdio>

#include <QDir>
#include <QFile>

#include "platform/metafile_writer.h"

namespace {

void write(const QDir& dir, const char* name, const QByteArray& bytes) {
    QFile f(dir.filePath(QString::fromLatin1(name)));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", name);
}

QByteArray region(int l, int t, int r, int b) {
    mfw::Bytes d;
    d.u32(32).u32(1).u32(1).u32(16).u32(0).u32(0).u32(0).u32(0);
    d.u32(uint32_t(l)).u32(uint32_t(t)).u32(uint32_t(r)).u32(uint32_t(b));
    return d.b;
}

QByteArray shapes() {
    mfw::Emf e;
    e.rec(39, {1, 0, 0x0000FF, 0}).rec(37, {1}).rec(38, {2, 0, 3, 0, 0xFF0000}).rec(37, {2});
    e.rec(43, {10, 10, 60, 60}).rec(42, {70, 10, 120, 60}).rec(44, {10, 70, 60, 120, 8, 8});
    e.rec(45, {70, 70, 120, 120, 70, 70, 120, 120}).rec(46, {130, 10, 180, 60, 130, 10, 180, 60});
    e.rec(47, {130, 70, 180, 120, 130, 70, 180, 120}).rec(27, {5, 5}).rec(54, {150, 150});
    e.rec(39, {3, 2, 0x00FF00, 3}).rec(37, {3}).rec(3, {0, 0, 0, 0, 3, 10, 130, 50, 130, 30, 180});
    return e.done();
}

QByteArray mapping() {
    mfw::Emf e;
    e.rec(17, {8}).rec(9, {1000, 1000}).rec(11, {192, 192}).rec(10, {0, 0}).rec(12, {0, 0});
    e.rec(33, {}).rec(35, {0x3F800000, 0, 0, 0x3F800000, 0x41200000, 0x41200000});
    e.rec(36, {0x3F000000, 0, 0, 0x3F000000, 0, 0, 2}).rec(30, {0, 0, 500, 500});
    e.rec(42, {100, 100, 900, 900}).rec(34, {-1}).rec(29, {0, 0, 10, 10});
    return e.done();
}

QByteArray texts() {
    mfw::Emf e;
    e.font(1, -20, 450).rec(37, {1}).rec(24, {0x0000FF}).rec(22, {24}).rec(18, {1});
    e.text(10, 10, QStringLiteral("Seed"), {12, 12, 12, 12})
        .textA(10, 80, "Ansi", {10, 10, 10, 10});
    e.text(10, 120, QStringLiteral("Clip"), {}, 4, 10, 120, 40, 140);
    return e.done();
}

QByteArray paths() {
    mfw::Emf e;
    e.rec(59, {}).rec(27, {10, 10}).rec(54, {100, 10}).rec(54, {50, 90}).rec(61, {});
    e.rec(60, {}).rec(62, {0, 0, 0, 0}).rec(59, {}).rec(42, {20, 20, 80, 80}).rec(60, {});
    e.rec(67, {1}).rec(43, {0, 0, 192, 192}).rec(59, {}).rec(43, {1, 1, 9, 9}).rec(60, {});
    e.rec(64, {0, 0, 0, 0});
    mfw::Bytes pd;
    pd.u32(0).u32(0).u32(0).u32(0).u32(4);
    for (int v : {10, 10, 50, 10, 60, 40, 50, 50})
        pd.u32(uint32_t(v));
    pd.u8(6).u8(2).u8(4).u8(5).pad4();
    return e.raw(56, pd.b).done();
}

QByteArray regions() {
    mfw::Emf e;
    e.rec(39, {1, 0, 0x00FF00, 0}).rec(37, {1});
    mfw::Bytes fill, frame, clip;
    fill.u32(0).u32(0).u32(0).u32(0).u32(48).u32(1);
    frame.u32(0).u32(0).u32(0).u32(0).u32(48).u32(1).u32(2).u32(2);
    clip.u32(48).u32(1);
    e.raw(71, fill.b + region(10, 10, 50, 50)).raw(72, frame.b + region(60, 10, 100, 50));
    e.raw(75, clip.b + region(0, 0, 150, 150));
    mfw::Bytes inv;
    inv.u32(0).u32(0).u32(0).u32(0).u32(48);
    e.raw(73, inv.b + region(10, 60, 50, 100)).raw(74, inv.b + region(60, 60, 100, 100));
    return e.done();
}

QByteArray bitmaps() {
    mfw::Emf e;
    e.blit(false, 10, 10, 2, 2, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    e.blit(true, 20, 20, 40, 40, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, 0x00660046);
    e.stretchDib(80, 10, 40, 20, 2, 1, {0x123456, 0x654321});
    // Run-length compressed, 8 bits a pixel, with a two-colour table.
    mfw::Bytes info;
    info.u32(40).u32(4).u32(2).u16(1).u16(8).u32(1).u32(0).u32(0).u32(0).u32(2).u32(0);
    info.u32(0xFF0000).u32(0x0000FF);
    const QByteArray bits = QByteArray::fromHex("04010000000400010001000200010001");
    mfw::Bytes body;
    body.u32(0).u32(0).u32(0).u32(0).u32(10).u32(100).u32(0).u32(0).u32(4).u32(2);
    body.u32(80).u32(uint32_t(info.b.size())).u32(uint32_t(80 + info.b.size()));
    body.u32(uint32_t(bits.size())).u32(0).u32(0x00CC0020).u32(40).u32(20);
    e.raw(81, body.b + info.b + bits);
    e.rec(49, {5, 0x300, 0}).rec(48, {5}).rec(52, {});
    return e.done();
}

// An enhanced metafile whose comments carry extra records, as the dual form writes them.
QByteArray dual() {
    mfw::Emf e;
    mfw::Bytes plus;
    plus.u32(0x2B464D45).u16(0x4001).u16(1).u32(28).u32(16).u32(0xDBC01002).u32(1).u32(96);
    e.raw(70, plus.b);
    e.rec(39, {1, 0, 0x808080, 0}).rec(37, {1}).rec(43, {0, 0, 50, 50});
    return e.done();
}

QByteArray wmf(bool placeable) {
    mfw::Wmf w(placeable, 0, 0, 1440, 1440, 1440);
    w.rec(0x0103, {8}).rec(0x020B, {0, 0}).rec(0x020C, {1440, 1440});
    w.rec(0x02FC, {0, 0x00FF, 0, 0}).rec(0x012D, {0}).rec(0x02FA, {0, 20, 0, 0xFF00, 0});
    w.rec(0x012D, {1}).rec(0x041B, {700, 700, 100, 100}).rec(0x0418, {1400, 1400, 800, 800});
    w.rec(0x0324, {3, 100, 1400, 700, 1400, 400, 900})
        .rec(0x0214, {10, 10})
        .rec(0x0213, {10, 1400});
    w.rec(0x0521, {4, 'W' | ('m' << 8), 'f' | ('!' << 8), 200, 200});
    w.rec(0x0416, {500, 500, 0, 0}).rec(0x001E, {}).rec(0x0127, {-1});
    return w.done();
}

} // namespace

int main(int argc, char** argv) {
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    write(dir, "shapes.emf", shapes());
    write(dir, "mapping.emf", mapping());
    write(dir, "texts.emf", texts());
    write(dir, "paths.emf", paths());
    write(dir, "regions.emf", regions());
    write(dir, "bitmaps.emf", bitmaps());
    write(dir, "dual.emf", dual());
    write(dir, "placeable.wmf", wmf(true));
    write(dir, "plain.wmf", wmf(false));
    return 0;
}
