#pragma once
// Documents of the older keyed format: a sequence of keyed value lists, each a bag of typed
// values tagged with 80-bit float keys such as 2.01 or 30.05. Read only.
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QString>

#include "drawing/KpExtended.h"
#include "drawing/KpObjects.h"
#include "drawing/KpStream.h"

class QIODevice;

namespace kp {

class TKpDocument;

// Record kinds on the wire.
enum : int32_t {
    kpExtRecord = 1000,
    kpIntRecord = 1001,
    kpStrRecord = 1002,
    kpBrushRecord = 1003,
    kpFontRecord = 1004,
    kpPenRecord = 1005
};

class PAGINOR_EXPORT TKpBaseFileRec {
public:
    explicit TKpBaseFileRec(const TKpExt80& key) : Key(key) {}
    virtual ~TKpBaseFileRec() = default;
    TKpExt80 Key;
};

class PAGINOR_EXPORT TKpExtFileRec : public TKpBaseFileRec {
public:
    using TKpBaseFileRec::TKpBaseFileRec;
    TKpExt80 Value;
};

class PAGINOR_EXPORT TKpIntFileRec : public TKpBaseFileRec {
public:
    using TKpBaseFileRec::TKpBaseFileRec;
    int32_t Value = 0;
};

class PAGINOR_EXPORT TKpStrFileRec : public TKpBaseFileRec {
public:
    using TKpBaseFileRec::TKpBaseFileRec;
    QByteArray Value; // 8-bit text, or the bytes of an embedded image
};

class PAGINOR_EXPORT TKpBrushFileRec : public TKpBaseFileRec {
public:
    using TKpBaseFileRec::TKpBaseFileRec;
    TKpBrushData Value;
};

class PAGINOR_EXPORT TKpFontFileRec : public TKpBaseFileRec {
public:
    using TKpBaseFileRec::TKpBaseFileRec;
    TKpFontData Value;
};

class PAGINOR_EXPORT TKpPenFileRec : public TKpBaseFileRec {
public:
    using TKpBaseFileRec::TKpBaseFileRec;
    TKpPenData Value;
};

// A key given as its decimal text ("2.01"), matched by its exact 80-bit value.
PAGINOR_EXPORT TKpExt80 KpKey(const char* decimal);

class PAGINOR_EXPORT TKpExtValueList {
public:
    TKpExtValueList() = default;
    TKpExtValueList(const TKpExtValueList&) = delete;
    TKpExtValueList& operator=(const TKpExtValueList&) = delete;

    // Discards all records, then reads one list (length L, then L bytes of records) from
    // the stream. Unknown record kinds are passed over 4 bytes at a time.
    void LoadFromStream(TKpExtStream& stream);
    void LoadFromStream(QIODevice& stream);
    void Clear();

    Extended GetExtended(const TKpExt80& key) const;
    int32_t GetInteger(int32_t defaultValue, const TKpExt80& key) const;
    QString GetString(const TKpExt80& key) const;
    // The raw bytes of a text record (empty when absent).
    QByteArray GetBytes(const TKpExt80& key) const;
    // Copy the value into target; an absent key leaves it as it was.
    void GetBrush(TKpBrushData& target, const TKpExt80& key) const;
    void GetFont(TKpFontData& target, const TKpExt80& key) const;
    void GetPen(TKpPenData& target, const TKpExt80& key) const;

    const std::vector<std::unique_ptr<TKpExtFileRec>>& ExtRecords() const { return ext_; }
    const std::vector<std::unique_ptr<TKpIntFileRec>>& IntRecords() const { return int_; }
    const std::vector<std::unique_ptr<TKpStrFileRec>>& StrRecords() const { return str_; }
    const std::vector<std::unique_ptr<TKpBrushFileRec>>& BrushRecords() const { return brush_; }
    const std::vector<std::unique_ptr<TKpFontFileRec>>& FontRecords() const { return font_; }
    const std::vector<std::unique_ptr<TKpPenFileRec>>& PenRecords() const { return pen_; }
    // The bytes of the list last read.
    const TKpExtStream& Buffer() const { return buffer_; }

    // Lists nested deeper than this are refused (hostile input would exhaust the stack).
    static constexpr int MaxDepth = 16;

private:
    void parse(int depth);
    void loadNested(TKpExtStream& stream, int depth);

    std::vector<std::unique_ptr<TKpExtFileRec>> ext_;
    std::vector<std::unique_ptr<TKpIntFileRec>> int_;
    std::vector<std::unique_ptr<TKpStrFileRec>> str_;
    std::vector<std::unique_ptr<TKpBrushFileRec>> brush_;
    std::vector<std::unique_ptr<TKpFontFileRec>> font_;
    std::vector<std::unique_ptr<TKpPenFileRec>> pen_;
    TKpExtStream buffer_;
};

// Rebuilds the document's pages and settings from an older-format file positioned just
// after its 10 version bytes.
PAGINOR_EXPORT void LoadLegacyDocument(TKpDocument& document, QIODevice& file);
// Fills one drawing object from one value list, by the object's class.
PAGINOR_EXPORT void LoadObjectFromValueList(TKpBaseObject& object, const TKpExtValueList& list);

} // namespace kp
