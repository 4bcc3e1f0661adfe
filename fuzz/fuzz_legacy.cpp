// Older-format document loader: any bytes after the version number.
#include <cstddef>
#include <cstdint>
#include <exception>

#include <QBuffer>

#include "fuzz_app.h"
#include "legacy/KpLegacy.h"
#include "preview/KpPreview.h"

using namespace kp;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QWidget host;
    static TKpPreview* preview = new TKpPreview(&host);
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        LoadLegacyDocument(*preview, buffer);
    } catch (const std::exception&) {
    }
    return 0;
}
