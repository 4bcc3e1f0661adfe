#pragma once
// Text files given to the content printers' readers: UTF-8, with or without a byte order
// mark. A file that is empty, is not valid UTF-8 or holds control characters other than tab,
// line feed, carriage return and form feed is refused, naming the line.
#include "paginor/KpExport.h"

#include <QByteArray>
#include <QString>

namespace kp {

// True with the decoded text (without the mark); false with an error such as
// "line 3: not UTF-8 text".
PAGINOR_EXPORT bool DecodeTextInput(const QByteArray& bytes, QString& text, QString& error);

} // namespace kp
