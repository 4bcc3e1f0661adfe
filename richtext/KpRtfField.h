#pragma once
// Fields: {\field{\*\fldinst INSTRUCTION}{\fldrslt RESULT}}. The result is shown; a HYPERLINK
// instruction makes it a link.
#include <vector>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "paginor/KpExport.h"
#include "richtext/KpRtfState.h"

namespace kp {

namespace rtf {

// The target of a HYPERLINK instruction ("url", with "#anchor" for \l "anchor"); empty for
// other instructions.
PAGINOR_INTERNAL_EXPORT QString HyperlinkTarget(const QString& instruction);

// Fields whose result the reader or the layout works out instead of showing the stored one.
enum class TFieldKind : uint8_t { Stored, PageNumber, PageCount, Date, Time };
PAGINOR_INTERNAL_EXPORT TFieldKind FieldKind(const QString& instruction);
// The text of a DATE or TIME field at `now`, in its \@ picture or the locale's short form.
PAGINOR_INTERNAL_EXPORT QString DateTimeFieldText(TFieldKind kind, const QString& instruction,
                                                  const QDateTime& now);

class TFieldStack {
public:
    void Push(TDestination outer) { fields_.push_back(TField{QString(), outer}); }
    void Pop() {
        if (!fields_.empty()) fields_.pop_back();
    }
    bool Empty() const { return fields_.empty(); }
    void AppendInstruction(const QString& text) {
        if (!fields_.empty()) fields_.back().instruction += text;
    }
    // The destination of the result text, and the link it carries (-1 for none).
    TDestination ResultDestination() const {
        return fields_.empty() ? TDestination::Body : fields_.back().outer;
    }
    int ResultLink(); // registers the target, once per field
    TFieldKind Kind();
    const QString& Instruction() const { return fields_.back().instruction; }
    // Whether the computed text of the innermost field was written; marks it written.
    bool TakePlacement() {
        if (fields_.empty() || fields_.back().placed) return false;
        return fields_.back().placed = true;
    }

    const QStringList& Links() const { return links_; }

private:
    struct TField {
        QString instruction;
        TDestination outer;
        int link = -2; // -2: not looked at yet
        int kind = -1; // a TFieldKind; -1: not looked at yet
        bool placed = false;
    };
    std::vector<TField> fields_;
    QStringList links_;
};

} // namespace rtf

} // namespace kp
