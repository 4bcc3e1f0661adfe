// Writes the demo's pictures as PNG files (demo/pictures/), which demo/demo.qrc ships as
// resources. Usage: demopictures OUTPUT_DIR
#include <cstdio>
#include <QDir>
#include <QGuiApplication>

#include "demo/DemoPictures.cpp" // the drawing code is the demo's own

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: demopictures OUTPUT_DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "demopictures: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const QString& name : DemoPictureNames()) {
        const QString file = dir.filePath(name + QStringLiteral(".png"));
        if (!DrawDemoPicture(name).save(file, "PNG")) {
            std::fprintf(stderr, "demopictures: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
