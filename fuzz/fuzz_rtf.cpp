// Rich text reader: any bytes, read into a document. Inputs without "{\rtf" are given one,
// so that the fuzzer spends its time inside the reader.
#include <cstddef>
#include <cstdint>

#include <QTextDocument>

#include "fuzz_app.h"
#include "richtext/KpRtfReader.h"

using namespace kp;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!LooksLikeRtf(bytes)) bytes.prepend("{\\rtf1 ");
    QTextDocument doc;
    const TKpRtfReadResult result = ReadRtf(bytes, doc);
    if (!result.ok) __builtin_trap(); // every input here starts with "{\rtf"
    return 0;
}
