// Embedded picture reader: any bytes, stored as a picture record (with the checksum mended,
// so that mutations reach the checks behind it), read, and drawn when accepted.
#include <cstddef>
#include <cstdint>
#include <exception>

#include <QImage>
#include <QPainter>

#include "drawing/KpPictureStore.h"
#include "drawing/KpStream.h"
#include "fuzz_app.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpPictureCheck.h"

using namespace kp;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray recording(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    kp::MendPictureChecksum(recording);
    TKpExtStream stored;
    stored.Write("KPQP", 4);
    stored.WriteInteger(static_cast<int32_t>(16 + recording.size()));
    stored.WriteInteger(64);
    stored.WriteInteger(48);
    stored.Write(recording.constData(), recording.size());
    stored.SetPosition(0);
    TKpMetafile picture;
    try {
        KpPictureStore::ReadPicture(stored, picture);
    } catch (const std::exception&) {
        return 0;
    }
    QImage target(96, 72, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    canvas.PlayMetafile(picture, QRect(0, 0, 96, 72));
    return 0;
}
