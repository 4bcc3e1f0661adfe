// Native document loader: any bytes, read as a whole document stream.
#include <cstddef>
#include <cstdint>
#include <exception>

#include <QBuffer>

#include "fuzz_app.h"
#include "preview/KpPreview.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Without a parent window the preview broadcasts nothing, so the closing refresh (which
    // draws the current page) stays out of the loader's fuzzing; KPP_FUZZ_DRAW=1 keeps it in.
    static QWidget host;
    static TKpPreview* preview =
        new TKpPreview(qEnvironmentVariableIsSet("KPP_FUZZ_DRAW") ? &host : nullptr);
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        preview->LoadFromStream(buffer);
    } catch (const std::exception&) {
    }
    return 0;
}
