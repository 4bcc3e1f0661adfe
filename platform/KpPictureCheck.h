#pragma once
// Checks recorded picture bytes from a file before anything plays them. The picture player
// trusts the nesting and the element counts in the data, so bytes from a file are only let
// through when every record is one our recordings make, every count fits in the bytes that
// remain, every value is finite and of a drawable size, the nesting is the single outer
// record, and the checksum over the data matches.
#include <QByteArrayView>
#include <QString>

#include "paginor/KpExport.h"

namespace kp {

// Empty when the bytes are a picture we can play safely; otherwise why they are refused.
PAGINOR_INTERNAL_EXPORT QString CheckPictureData(QByteArrayView data);

// The checksum a picture stores over its data, recomputed (fuzzing mends it after
// mutating the bytes, so that the checks behind it are reached).
PAGINOR_INTERNAL_EXPORT void MendPictureChecksum(QByteArray& data);

} // namespace kp
