// Native document loader: any bytes, read as a whole document stream, then every page
// (up to a few) drawn, so that what the loader accepted is also played.
#include <cstddef>
#include <cstdint>
#include <exception>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "drawing/KpDocument.h"
#include "fuzz_app.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"

using namespace kp;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TKpDocument* document = new TKpDocument;
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        document->LoadFromStream(buffer);
    } catch (const std::exception&) {
    }
    try {
        QImage target(120, 170, QImage::Format_RGB32);
        for (int n = 1; n <= document->NumPages() && n <= 4; ++n) {
            document->SetCurrentPage(n);
            document->RefreshPage();
            target.fill(Qt::white);
            QPainter painter(&target);
            TKpDeviceCanvas canvas(&painter, 96, 96);
            // Scaled to fit, keeping the page's proportions, as a preview shows it.
            const TKpMetafile& picture = document->GetPage(n)->Metafile();
            const QSize fit =
                QSize(picture.Width(), picture.Height()).scaled(target.size(), Qt::KeepAspectRatio);
            canvas.PlayMetafile(picture, QRect(QPoint(0, 0), fit.expandedTo(QSize(1, 1))));
        }
    } catch (const std::exception&) {
    }
    return 0;
}
