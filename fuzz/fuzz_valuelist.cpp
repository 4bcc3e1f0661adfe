// Keyed value lists and their lookups.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "fuzz_app.h"
#include "legacy/KpLegacy.h"

using namespace kp;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TKpExtStream stream{
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))};
    TKpExtValueList list;
    try {
        while (stream.Remaining() > 0) {
            list.LoadFromStream(stream);
            for (int type = 1; type <= 13; ++type) {
                auto object = CreateObjectOfType(type);
                LoadObjectFromValueList(*object, list);
            }
        }
    } catch (const std::exception&) {
    }
    return 0;
}
