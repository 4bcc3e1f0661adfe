#include "printing/KpPdfUpdate.h"

#include <algorithm>
#include <map>
#include <optional>

#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include "printing/KpPdfObjects.h"

namespace kp {

namespace {

QByteArray refText(TKpPdfRef ref) {
    return QByteArray::number(ref.Num) + ' ' + QByteArray::number(ref.Gen) + " R";
}

QByteArray number(double v) {
    QByteArray s = QByteArray::number(v, 'f', 2);
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith('.')) s.chop(1);
    return s == "-0" ? QByteArray("0") : s;
}

// A text string: UTF-16 big-endian with its byte order mark, in hexadecimal.
QByteArray textString(const QString& text) {
    QByteArray bytes("\xFE\xFF");
    for (const QChar c : text) {
        bytes += static_cast<char>(c.unicode() >> 8);
        bytes += static_cast<char>(c.unicode() & 0xFF);
    }
    return '<' + bytes.toHex().toUpper() + '>';
}

// A byte string in parentheses, with what would end or confuse it escaped.
QByteArray literalString(const QByteArray& bytes) {
    QByteArray out("(");
    for (const char c : bytes) {
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) {
            out +=
                '\\' + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
        } else {
            out += c;
        }
    }
    return out + ')';
}

// The objects of the update, with where each one starts.
class TUpdateWriter {
public:
    TUpdateWriter(qint64 fileSize, int objectCount) : base_(fileSize), next_(objectCount) {}
    TKpPdfRef New() { return {next_++, 0}; }
    void Write(TKpPdfRef ref, const QByteArray& value) {
        xref_[ref.Num] = {base_ + body_.size(), ref.Gen};
        body_ += QByteArray::number(ref.Num) + ' ' + QByteArray::number(ref.Gen) + " obj\n" +
                 value + "\nendobj\n";
    }
    int Next() const { return next_; }
    // The cross-reference section and the trailer; the body is complete afterwards.
    void Finish(TKpPdfDict trailer, qint64 previousXref) {
        const qint64 xrefAt = base_ + body_.size();
        body_ += "xref\n";
        for (auto it = xref_.begin(); it != xref_.end();) {
            auto end = it;
            int count = 0;
            while (end != xref_.end() && end->first == it->first + count) {
                ++end;
                ++count;
            }
            body_ += QByteArray::number(it->first) + ' ' + QByteArray::number(count) + '\n';
            for (; it != end; ++it)
                body_ += QByteArray::number(it->second.first).rightJustified(10, '0') + ' ' +
                         QByteArray::number(it->second.second).rightJustified(5, '0') + " n\r\n";
        }
        PdfSet(trailer, "Size", QByteArray::number(next_));
        PdfSet(trailer, "Prev", QByteArray::number(previousXref));
        body_ += "trailer\n" + PdfWriteDict(trailer) + "\nstartxref\n" +
                 QByteArray::number(xrefAt) + "\n%%EOF\n";
    }
    const QByteArray& Body() const { return body_; }

private:
    qint64 base_;
    int next_;
    QByteArray body_ = "\n";
    std::map<int, std::pair<qint64, int>> xref_;
};

bool failWith(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

bool writeInfo(TKpPdfFile& pdf, const TKpPdfUpdate& update, TUpdateWriter& out,
               TKpPdfDict& trailer) {
    if (update.Title.isEmpty() && update.Author.isEmpty() && update.Subject.isEmpty()) return true;
    std::optional<TKpPdfRef> ref = PdfAsRef(PdfGet(trailer, "Info"));
    TKpPdfDict info;
    if (ref) {
        const std::optional<TKpPdfDict> old = pdf.Dict(*ref);
        if (!old) return false;
        info = *old;
    } else {
        ref = out.New();
        PdfSet(trailer, "Info", refText(*ref));
    }
    if (!update.Title.isEmpty()) PdfSet(info, "Title", textString(update.Title));
    if (!update.Author.isEmpty()) PdfSet(info, "Author", textString(update.Author));
    if (!update.Subject.isEmpty()) PdfSet(info, "Subject", textString(update.Subject));
    out.Write(*ref, PdfWriteDict(info));
    return true;
}

QByteArray linkAnnotation(const TKpPdfLink& link, const TKpPdfFile::Page& page) {
    const QRectF& box = page.MediaBox;
    const QRectF r = link.Rect.normalized();
    return "<<\n/Type /Annot\n/Subtype /Link\n/Rect [" + number(box.left() + r.left()) + ' ' +
           number(box.bottom() - r.bottom()) + ' ' + number(box.left() + r.right()) + ' ' +
           number(box.bottom() - r.top()) + "]\n/Border [0 0 0]\n/P " + refText(page.Ref) +
           "\n/A << /Type /Action /S /URI /URI " + literalString(QUrl(link.Url).toEncoded()) +
           " >>\n>>";
}

bool writeLinks(TKpPdfFile& pdf, const std::vector<TKpPdfFile::Page>& pages,
                const std::vector<TKpPdfLink>& links, TUpdateWriter& out) {
    std::map<int, std::vector<const TKpPdfLink*>> bySheet;
    for (const TKpPdfLink& link : links)
        if (link.Sheet >= 0 && link.Sheet < static_cast<int>(pages.size()))
            bySheet[link.Sheet].push_back(&link);
    for (const auto& [sheet, sheetLinks] : bySheet) {
        const TKpPdfFile::Page& page = pages[sheet];
        std::optional<TKpPdfDict> dict = pdf.Dict(page.Ref);
        if (!dict) return false;
        // The page keeps the annotations it has.
        QByteArray annots = PdfGet(*dict, "Annots");
        if (const std::optional<TKpPdfRef> ref = PdfAsRef(annots)) {
            const std::optional<QByteArray> array = pdf.Object(*ref);
            if (!array) return false;
            annots = *array;
        }
        std::vector<QByteArray> items;
        if (!annots.isEmpty()) {
            const auto old = PdfParseArray(annots);
            if (!old) return false;
            items = *old;
        }
        for (const TKpPdfLink* link : sheetLinks) {
            const TKpPdfRef ref = out.New();
            out.Write(ref, linkAnnotation(*link, page));
            items.push_back(refText(ref));
        }
        PdfSet(*dict, "Annots", "[" + QByteArrayList(items.begin(), items.end()).join(' ') + "]");
        out.Write(page.Ref, PdfWriteDict(*dict));
    }
    return true;
}

bool writeOutline(TKpPdfFile& pdf, const std::vector<TKpPdfFile::Page>& pages,
                  const std::vector<TKpPdfOutlineEntry>& outline, TUpdateWriter& out) {
    std::vector<const TKpPdfOutlineEntry*> entries;
    for (const TKpPdfOutlineEntry& e : outline)
        if (e.Sheet >= 0 && e.Sheet < static_cast<int>(pages.size())) entries.push_back(&e);
    if (entries.empty()) return true;
    std::optional<TKpPdfDict> catalog = pdf.Dict(pdf.Root());
    if (!catalog) return false;

    // The tree: each entry under the last one before it of a lower level (-1: the root).
    const int n = static_cast<int>(entries.size());
    std::vector<int> parent(n, -1);
    std::vector<std::vector<int>> children(n + 1); // [n]: the root's
    std::vector<int> open;
    for (int i = 0; i < n; ++i) {
        while (!open.empty() && entries[open.back()]->Level >= entries[i]->Level)
            open.pop_back();
        parent[i] = open.empty() ? -1 : open.back();
        children[parent[i] < 0 ? n : parent[i]].push_back(i);
        open.push_back(i);
    }
    const TKpPdfRef root = out.New();
    std::vector<TKpPdfRef> refs(n);
    for (TKpPdfRef& r : refs)
        r = out.New();
    auto listEnds = [&](TKpPdfDict& d, const std::vector<int>& kids) {
        if (kids.empty()) return;
        PdfSet(d, "First", refText(refs[kids.front()]));
        PdfSet(d, "Last", refText(refs[kids.back()]));
    };
    TKpPdfDict top{{"Type", "/Outlines"}};
    listEnds(top, children[n]);
    // Entries below the top level start closed: the root counts the top level only.
    PdfSet(top, "Count", QByteArray::number(children[n].size()));
    out.Write(root, PdfWriteDict(top));
    for (int i = 0; i < n; ++i) {
        const TKpPdfOutlineEntry& e = *entries[i];
        const TKpPdfFile::Page& page = pages[e.Sheet];
        TKpPdfDict d{{"Title", textString(e.Title)},
                     {"Parent", refText(parent[i] < 0 ? root : refs[parent[i]])}};
        const std::vector<int>& siblings = children[parent[i] < 0 ? n : parent[i]];
        const auto at = std::find(siblings.begin(), siblings.end(), i) - siblings.begin();
        if (at > 0) PdfSet(d, "Prev", refText(refs[siblings[at - 1]]));
        if (at + 1 < static_cast<qsizetype>(siblings.size()))
            PdfSet(d, "Next", refText(refs[siblings[at + 1]]));
        listEnds(d, children[i]);
        if (!children[i].empty()) PdfSet(d, "Count", "-" + QByteArray::number(children[i].size()));
        PdfSet(d, "Dest",
               "[" + refText(page.Ref) + " /XYZ null " + number(page.MediaBox.bottom() - e.Top) +
                   " null]");
        out.Write(refs[i], PdfWriteDict(d));
    }
    PdfSet(*catalog, "Outlines", refText(root));
    PdfSet(*catalog, "PageMode", "/UseOutlines");
    out.Write(pdf.Root(), PdfWriteDict(*catalog));
    return true;
}

} // namespace

bool AppendPdfUpdate(const QString& fileName, const TKpPdfUpdate& update, QString* error) {
    if (update.Empty()) return true;
    TKpPdfFile pdf;
    if (!pdf.Open(fileName)) return failWith(error, pdf.Error());
    const std::vector<TKpPdfFile::Page> pages = pdf.Pages();
    if (pages.empty()) return failWith(error, pdf.Error());
    TUpdateWriter out(pdf.FileSize(), pdf.ObjectCount());
    TKpPdfDict trailer = pdf.Trailer();
    if (!writeInfo(pdf, update, out, trailer))
        return failWith(error, QStringLiteral("unreadable document information"));
    if (!writeLinks(pdf, pages, update.Links, out))
        return failWith(error, QStringLiteral("unreadable page or annotations"));
    if (!writeOutline(pdf, pages, update.Outline, out))
        return failWith(error, QStringLiteral("unreadable catalog"));
    out.Finish(trailer, pdf.XrefOffset());

    // The old bytes, then the update, into a temporary file that replaces the original only
    // once it is complete.
    QFile in(fileName);
    if (!in.open(QIODevice::ReadOnly)) return failWith(error, in.errorString());
    QSaveFile save(fileName);
    if (!save.open(QIODevice::WriteOnly)) return failWith(error, save.errorString());
    qint64 copied = 0;
    while (copied < pdf.FileSize()) {
        const QByteArray chunk = in.read(std::min<qint64>(pdf.FileSize() - copied, 1 << 20));
        if (chunk.isEmpty() || save.write(chunk) != chunk.size()) break;
        copied += chunk.size();
    }
    if (copied != pdf.FileSize() || save.write(out.Body()) != out.Body().size()) {
        save.cancelWriting();
        return failWith(error, save.errorString());
    }
    if (!save.commit()) return failWith(error, save.errorString());
    return true;
}

} // namespace kp
