#pragma once
// Reading a whole input (a file, a pipe, a device) into memory. The size a file claims is
// no guide: a pipe or /dev/zero claims 0 and never ends, so the bytes are counted as they
// come and the read stops one block past the limit.
#include <QByteArray>
#include <QString>

#include "paginor/KpExport.h"

class QIODevice;

namespace kp {

// Reads the rest of an open device into data, at most limit bytes. On a longer input or a
// read error returns false and sets error to a whole sentence naming the source by name
// ("NAME is larger than 256 MiB", "cannot read NAME: ..."); data is then empty.
PAGINOR_INTERNAL_EXPORT bool ReadLimited(QIODevice& device, qint64 limit, const QString& name,
                                         QByteArray& data, QString& error);

// The limit as a person reads it: "1 GiB", "256 MiB", "4096 bytes".
PAGINOR_INTERNAL_EXPORT QString ByteLimitText(qint64 limit);

} // namespace kp
