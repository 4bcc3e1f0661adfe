// Older-format document loader: any bytes after the version number.
#include <cstddef>
#include <cstdint>
#include <exception>

#include <QBuffer>

#include "drawing/KpDocument.h"
#include "fuzz_app.h"
#include "legacy/KpLegacy.h"

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
        LoadLegacyDocument(*document, buffer);
    } catch (const std::exception&) {
    }
    return 0;
}
