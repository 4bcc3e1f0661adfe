#pragma once
// Comma-separated values as RFC 4180 writes them: fields separated by commas, records by line
// breaks (CRLF, LF or CR), fields in double quotes may hold commas, line breaks and doubled
// quotes (a line break inside quotes reads as "\n"). The text is UTF-8 with or without a byte order
// mark. Records may differ in length.
#include "paginor/KpExport.h"

#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kp {

class PAGINOR_EXPORT TKpCsvReader {
public:
    // Reads the whole text. False on bad input, with Error() naming the line ("line 4: ...");
    // the first error sticks and no records are kept.
    bool Read(const QByteArray& bytes);
    // Reads a whole file. False when it cannot be read ("items.csv: No such file or
    // directory") or holds bad input, with Error() saying so.
    bool ReadFile(const QString& fileName);
    const std::vector<QStringList>& Records() const { return records_; }
    // Line (from 1) where each record starts.
    const std::vector<int>& RecordLines() const { return lines_; }
    QString Error() const { return error_; }

private:
    bool fail(int line, const QString& message);
    std::vector<QStringList> records_;
    std::vector<int> lines_;
    QString error_;
};

} // namespace kp
