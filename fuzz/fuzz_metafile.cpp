// Metafile player: any bytes, as an enhanced or a 16-bit metafile, played into a small image.
#include <cstddef>
#include <cstdint>

#include <QImage>
#include <QPainter>

#include "fuzz_app.h"
#include "platform/KpMetafilePlayer.h"

using namespace kp;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)KpMetafileFrame(bytes);
    QImage target(96, 72, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    (void)KpPlayMetafile(bytes, painter, QRectF(0, 0, 96, 72));
    return 0;
}
