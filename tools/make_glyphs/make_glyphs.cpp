// Draws the selectors' 16 x 16 button and list glyphs shipped as program resources, in the
// sixteen standard colours with a teal ground (the bottom-left pixel gives the transparent
// colour): PRINTER (a printer), ONE (a portrait sheet with a grey edge and a black drop
// shadow), TWO (a landscape sheet split by a dashed vertical line) and FOUR (a portrait sheet
// split in four by dashed lines). Usage: make_glyphs <output folder>
#include <cstdio>

#include <QDir>
#include <QImage>

namespace {

// The sixteen standard colours; index 6 (teal) is the ground.
const QRgb kPalette[16] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080,
                           0xFF800080, 0xFF008080, 0xFF808080, 0xFFC0C0C0, 0xFFFF0000,
                           0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF,
                           0xFFFFFFFF};
enum Colour : uint8_t { Black = 0, Teal = 6, Grey = 7, Silver = 8, Lime = 10, White = 15 };

class Glyph {
public:
    Glyph() : image_(16, 16, QImage::Format_Indexed8) {
        image_.setColorTable(QList<QRgb>(std::begin(kPalette), std::end(kPalette)));
        image_.fill(Teal);
    }
    void set(int x, int y, Colour c) { image_.setPixel(x, y, c); }
    void fill(int x1, int y1, int x2, int y2, Colour c) { // inclusive corners
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                set(x, y, c);
    }
    void frame(int x1, int y1, int x2, int y2, Colour c) {
        fill(x1, y1, x2, y1, c);
        fill(x1, y2, x2, y2, c);
        fill(x1, y1, x1, y2, c);
        fill(x2, y1, x2, y2, c);
    }
    // A sheet: white inside a grey edge, with a black shadow one pixel to the lower right.
    void sheet(int x1, int y1, int x2, int y2) {
        fill(x1 + 1, y1 + 1, x2 + 1, y2 + 1, Black);
        fill(x1, y1, x2, y2, White);
        frame(x1, y1, x2, y2, Grey);
    }
    void dashedH(int x1, int x2, int y) {
        for (int x = x1; x <= x2; x += 2)
            set(x, y, Grey);
    }
    void dashedV(int x, int y1, int y2) {
        for (int y = y1; y <= y2; y += 2)
            set(x, y, Grey);
    }
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

QImage printer() {
    Glyph g;
    g.fill(4, 1, 11, 5, White); // paper going in
    g.frame(4, 1, 11, 5, Grey);
    g.fill(1, 6, 14, 11, Silver); // body
    g.frame(1, 6, 14, 11, Black);
    g.fill(2, 7, 13, 7, White); // highlight along the top of the body
    g.set(12, 9, Lime);         // power light
    g.fill(3, 11, 12, 14, White); // paper coming out
    g.frame(3, 11, 12, 14, Black);
    g.fill(5, 12, 10, 12, Grey); // printed lines
    g.fill(5, 13, 9, 13, Grey);
    return g.image();
}

QImage onePage() {
    Glyph g;
    g.sheet(3, 1, 11, 13);
    return g.image();
}

QImage twoPages() {
    Glyph g;
    g.sheet(1, 3, 13, 11);
    g.dashedV(7, 4, 10);
    return g.image();
}

QImage fourPages() {
    Glyph g;
    g.sheet(3, 1, 11, 13);
    g.dashedV(7, 2, 12);
    g.dashedH(4, 10, 7);
    return g.image();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_glyphs <output folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        std::fprintf(stderr, "make_glyphs: no such folder: %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char* name;
        QImage (*draw)();
    } glyphs[] = {{"PRINTER", printer}, {"ONE", onePage}, {"TWO", twoPages}, {"FOUR", fourPages}};
    for (const auto& g : glyphs) {
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(QLatin1String(g.name)));
        if (!g.draw().save(path, "PNG")) {
            std::fprintf(stderr, "make_glyphs: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
