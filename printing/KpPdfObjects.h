#pragma once
// A bounded reader of the PDF files the export writes: one classic cross-reference table, its
// trailer, and plain objects read from their offsets. Stream data is never read. Anything else
// (cross-reference streams, updates already appended, object streams) is refused, so that a
// later update only ever builds on what it understood.
#include "paginor/KpExport.h"

#include <optional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QRectF>
#include <QString>

namespace kp {

struct PAGINOR_INTERNAL_EXPORT TKpPdfRef {
    int Num = 0;
    int Gen = 0;
    bool operator==(const TKpPdfRef&) const = default;
};

// A dictionary's entries in file order: the key without its slash, the value as written.
using TKpPdfDict = std::vector<std::pair<QByteArray, QByteArray>>;

// Where the value starting at `pos` (after any white space) ends; -1 when it is not one.
PAGINOR_INTERNAL_EXPORT qsizetype PdfValueEnd(const QByteArray& text, qsizetype pos);
// The entries of the dictionary `text` starts with; nullopt when it is not one.
PAGINOR_INTERNAL_EXPORT std::optional<TKpPdfDict> PdfParseDict(const QByteArray& text);
// The values of an array ("[ ... ]"); nullopt when it is not one.
PAGINOR_INTERNAL_EXPORT std::optional<std::vector<QByteArray>>
PdfParseArray(const QByteArray& text);
// "12 0 R" as a reference.
PAGINOR_INTERNAL_EXPORT std::optional<TKpPdfRef> PdfAsRef(const QByteArray& value);
// The value of key ("" when absent), and setting one (replaced in place, or appended).
PAGINOR_INTERNAL_EXPORT QByteArray PdfGet(const TKpPdfDict& dict, const QByteArray& key);
PAGINOR_INTERNAL_EXPORT void PdfSet(TKpPdfDict& dict, const QByteArray& key,
                                    const QByteArray& value);
PAGINOR_INTERNAL_EXPORT QByteArray PdfWriteDict(const TKpPdfDict& dict);

class PAGINOR_INTERNAL_EXPORT TKpPdfFile {
public:
    // False, with Error() saying why, when the file is not one this reader understands.
    bool Open(const QString& fileName);
    const QString& Error() const { return error_; }

    qint64 FileSize() const { return size_; }
    qint64 XrefOffset() const { return xref_; }
    const TKpPdfDict& Trailer() const { return trailer_; }
    // The trailer's /Size: the first free object number.
    int ObjectCount() const { return static_cast<int>(offsets_.size()); }
    TKpPdfRef Root() const { return root_; }

    // The object's value as written (a stream's dictionary only); nullopt when it is missing.
    std::optional<QByteArray> Object(TKpPdfRef ref);
    std::optional<TKpPdfDict> Dict(TKpPdfRef ref);

    struct Page {
        TKpPdfRef Ref;
        QRectF MediaBox; // in points, as written (x0, y0 to x1, y1)
    };
    // The pages in order; empty (and Error() set) when the page tree cannot be read.
    std::vector<Page> Pages();

private:
    bool fail(const QString& why);
    bool readXref();
    bool collect(TKpPdfRef node, int depth, std::vector<Page>& out);

    QFile file_;
    QString error_;
    qint64 size_ = 0;
    qint64 xref_ = 0;
    TKpPdfDict trailer_;
    TKpPdfRef root_;
    // Per object number: its offset and generation (-1: free).
    std::vector<std::pair<qint64, int>> offsets_;
};

} // namespace kp
