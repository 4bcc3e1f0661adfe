#include "printing/KpPdfObjects.h"

#include <algorithm>

namespace kp {

namespace {

// Bounds: nothing the export writes comes near them.
constexpr qint64 MaxObjectBytes = 1 << 20;
constexpr int MaxNesting = 32;
constexpr int MaxObjects = 50'000'000;
constexpr int MaxTreeDepth = 16;

bool isWhite(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}
bool isDelimiter(char c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
           c == '}' || c == '/' || c == '%';
}
bool isRegular(char c) {
    return !isWhite(c) && !isDelimiter(c);
}

qsizetype skipWhite(const QByteArray& t, qsizetype pos) {
    while (pos < t.size()) {
        if (isWhite(t[pos])) {
            ++pos;
        } else if (t[pos] == '%') {
            while (pos < t.size() && t[pos] != '\n' && t[pos] != '\r')
                ++pos;
        } else {
            break;
        }
    }
    return pos;
}

qsizetype regularEnd(const QByteArray& t, qsizetype pos) {
    while (pos < t.size() && isRegular(t[pos]))
        ++pos;
    return pos;
}

bool isUnsigned(const QByteArray& t, qsizetype from, qsizetype to) {
    if (from >= to) return false;
    for (qsizetype i = from; i < to; ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    return true;
}

qsizetype valueEnd(const QByteArray& t, qsizetype pos, int depth);

// Values up to the closing character; its position, or -1.
qsizetype sequenceEnd(const QByteArray& t, qsizetype pos, char close, int depth, bool keys) {
    for (;;) {
        pos = skipWhite(t, pos);
        if (pos >= t.size()) return -1;
        if (t[pos] == close) return pos;
        if (keys) {
            if (t[pos] != '/') return -1;
            pos = regularEnd(t, pos + 1);
        }
        pos = valueEnd(t, pos, depth + 1);
        if (pos < 0) return -1;
    }
}

qsizetype valueEnd(const QByteArray& t, qsizetype pos, int depth) {
    if (depth > MaxNesting) return -1;
    pos = skipWhite(t, pos);
    if (pos >= t.size()) return -1;
    const char c = t[pos];
    if (c == '<' && pos + 1 < t.size() && t[pos + 1] == '<') {
        const qsizetype end = sequenceEnd(t, pos + 2, '>', depth, true);
        return end >= 0 && end + 1 < t.size() && t[end + 1] == '>' ? end + 2 : -1;
    }
    if (c == '<') {
        const qsizetype end = t.indexOf('>', pos);
        return end < 0 ? -1 : end + 1;
    }
    if (c == '[') {
        const qsizetype end = sequenceEnd(t, pos + 1, ']', depth, false);
        return end < 0 ? -1 : end + 1;
    }
    if (c == '(') {
        int open = 0;
        for (qsizetype i = pos; i < t.size(); ++i) {
            if (t[i] == '\\') {
                ++i;
            } else if (t[i] == '(') {
                ++open;
            } else if (t[i] == ')' && --open == 0) {
                return i + 1;
            }
        }
        return -1;
    }
    if (c == '/') return regularEnd(t, pos + 1);
    if (!isRegular(c)) return -1;
    const qsizetype end = regularEnd(t, pos);
    // "num gen R" is one value.
    if (isUnsigned(t, pos, end)) {
        const qsizetype genFrom = skipWhite(t, end);
        const qsizetype genTo = regularEnd(t, genFrom);
        if (genFrom > end && isUnsigned(t, genFrom, genTo)) {
            const qsizetype r = skipWhite(t, genTo);
            if (r > genTo && r < t.size() && t[r] == 'R' && regularEnd(t, r) == r + 1) return r + 1;
        }
    }
    return end;
}

} // namespace

qsizetype PdfValueEnd(const QByteArray& text, qsizetype pos) {
    return valueEnd(text, pos, 0);
}

std::optional<TKpPdfDict> PdfParseDict(const QByteArray& text) {
    qsizetype pos = skipWhite(text, 0);
    if (!text.mid(pos).startsWith("<<")) return std::nullopt;
    pos += 2;
    TKpPdfDict dict;
    for (;;) {
        pos = skipWhite(text, pos);
        if (pos + 1 < text.size() && text[pos] == '>' && text[pos + 1] == '>') return dict;
        if (pos >= text.size() || text[pos] != '/') return std::nullopt;
        const qsizetype keyEnd = regularEnd(text, pos + 1);
        const QByteArray key = text.mid(pos + 1, keyEnd - pos - 1);
        const qsizetype from = skipWhite(text, keyEnd);
        const qsizetype end = valueEnd(text, from, 1);
        if (end < 0) return std::nullopt;
        dict.emplace_back(key, text.mid(from, end - from));
        pos = end;
    }
}

std::optional<std::vector<QByteArray>> PdfParseArray(const QByteArray& text) {
    qsizetype pos = skipWhite(text, 0);
    if (pos >= text.size() || text[pos] != '[') return std::nullopt;
    ++pos;
    std::vector<QByteArray> items;
    for (;;) {
        pos = skipWhite(text, pos);
        if (pos >= text.size()) return std::nullopt;
        if (text[pos] == ']') return items;
        const qsizetype end = valueEnd(text, pos, 1);
        if (end < 0) return std::nullopt;
        items.push_back(text.mid(pos, end - pos));
        pos = end;
    }
}

std::optional<TKpPdfRef> PdfAsRef(const QByteArray& value) {
    const QList<QByteArray> parts = value.simplified().split(' ');
    if (parts.size() != 3 || parts[2] != "R") return std::nullopt;
    bool ok1 = false, ok2 = false;
    const TKpPdfRef ref{parts[0].toInt(&ok1), parts[1].toInt(&ok2)};
    if (!ok1 || !ok2 || ref.Num < 0 || ref.Gen < 0) return std::nullopt;
    return ref;
}

QByteArray PdfGet(const TKpPdfDict& dict, const QByteArray& key) {
    for (const auto& [k, v] : dict)
        if (k == key) return v;
    return QByteArray();
}

void PdfSet(TKpPdfDict& dict, const QByteArray& key, const QByteArray& value) {
    for (auto& [k, v] : dict)
        if (k == key) {
            v = value;
            return;
        }
    dict.emplace_back(key, value);
}

QByteArray PdfWriteDict(const TKpPdfDict& dict) {
    QByteArray out("<<\n");
    for (const auto& [k, v] : dict)
        out += '/' + k + ' ' + v + '\n';
    return out + ">>";
}

bool TKpPdfFile::fail(const QString& why) {
    error_ = why;
    return false;
}

bool TKpPdfFile::Open(const QString& fileName) {
    file_.setFileName(fileName);
    if (!file_.open(QIODevice::ReadOnly)) return fail(file_.errorString());
    size_ = file_.size();
    // startxref and its offset are in the last bytes.
    const qint64 tail = std::min<qint64>(size_, 1024);
    file_.seek(size_ - tail);
    const QByteArray end = file_.read(tail);
    const qsizetype at = end.lastIndexOf("startxref");
    if (at < 0 || !end.mid(at).contains("%%EOF")) return fail(QStringLiteral("no startxref"));
    bool ok = false;
    xref_ = end.mid(at + 9).simplified().split(' ').value(0).toLongLong(&ok);
    if (!ok || xref_ <= 0 || xref_ >= size_) return fail(QStringLiteral("bad startxref"));
    return readXref();
}

bool TKpPdfFile::readXref() {
    file_.seek(xref_);
    const QByteArray head = file_.read(64);
    if (!head.startsWith("xref"))
        return fail(QStringLiteral("not a classic cross-reference table"));
    // The header line of the subsection, then 20-byte entries.
    qint64 pos = xref_ + 4;
    for (;;) {
        file_.seek(pos);
        const QByteArray line = file_.read(64);
        const qsizetype from = skipWhite(line, 0);
        if (line.mid(from).startsWith("trailer")) {
            pos += from + 7;
            break;
        }
        const qsizetype eol = line.indexOf('\n', from);
        if (eol < 0) return fail(QStringLiteral("bad cross-reference table"));
        const QList<QByteArray> nums = line.mid(from, eol - from).simplified().split(' ');
        bool ok1 = false, ok2 = false;
        const int first = nums.value(0).toInt(&ok1);
        const int count = nums.value(1).toInt(&ok2);
        if (nums.size() != 2 || !ok1 || !ok2 || first < 0 || count < 0 ||
            first + qint64(count) > MaxObjects)
            return fail(QStringLiteral("bad cross-reference subsection"));
        pos += eol + 1;
        file_.seek(pos);
        const QByteArray entries = file_.read(qint64(count) * 20);
        if (entries.size() != qint64(count) * 20)
            return fail(QStringLiteral("short cross-reference table"));
        if (offsets_.size() < size_t(first + count)) offsets_.resize(first + count, {0, -1});
        for (int i = 0; i < count; ++i) {
            const QByteArray e = entries.mid(qsizetype(i) * 20, 20);
            if (e[17] != 'n') continue;
            offsets_[first + i] = {e.left(10).toLongLong(), e.mid(11, 5).toInt()};
        }
        pos += qint64(count) * 20;
    }
    file_.seek(pos);
    const QByteArray rest = file_.read(std::min<qint64>(size_ - pos, 4096));
    const std::optional<TKpPdfDict> trailer = PdfParseDict(rest);
    if (!trailer) return fail(QStringLiteral("bad trailer"));
    trailer_ = *trailer;
    if (!PdfGet(trailer_, "Prev").isEmpty() || !PdfGet(trailer_, "XRefStm").isEmpty() ||
        !PdfGet(trailer_, "Encrypt").isEmpty())
        return fail(QStringLiteral("an updated or encrypted file"));
    bool ok = false;
    const int count = PdfGet(trailer_, "Size").trimmed().toInt(&ok);
    if (!ok || count != static_cast<int>(offsets_.size()))
        return fail(QStringLiteral("the trailer's size does not match the table"));
    const std::optional<TKpPdfRef> root = PdfAsRef(PdfGet(trailer_, "Root"));
    if (!root) return fail(QStringLiteral("no catalog"));
    root_ = *root;
    return true;
}

std::optional<QByteArray> TKpPdfFile::Object(TKpPdfRef ref) {
    if (ref.Num <= 0 || ref.Num >= ObjectCount()) return std::nullopt;
    const auto [offset, gen] = offsets_[ref.Num];
    if (gen != ref.Gen || offset <= 0 || offset >= size_) return std::nullopt;
    file_.seek(offset);
    const QByteArray text = file_.read(std::min<qint64>(size_ - offset, MaxObjectBytes));
    const QByteArray header =
        QByteArray::number(ref.Num) + ' ' + QByteArray::number(ref.Gen) + " obj";
    if (!text.startsWith(header)) return std::nullopt;
    const qsizetype from = skipWhite(text, header.size());
    const qsizetype end = PdfValueEnd(text, from);
    if (end < 0) return std::nullopt;
    return text.mid(from, end - from);
}

std::optional<TKpPdfDict> TKpPdfFile::Dict(TKpPdfRef ref) {
    const std::optional<QByteArray> text = Object(ref);
    return text ? PdfParseDict(*text) : std::nullopt;
}

bool TKpPdfFile::collect(TKpPdfRef node, int depth, std::vector<Page>& out) {
    if (depth > MaxTreeDepth || out.size() >= offsets_.size())
        return fail(QStringLiteral("page tree too deep"));
    const std::optional<TKpPdfDict> dict = Dict(node);
    if (!dict) return fail(QStringLiteral("unreadable page tree node %1").arg(node.Num));
    const QByteArray type = PdfGet(*dict, "Type").trimmed();
    if (type == "/Pages") {
        const auto kids = PdfParseArray(PdfGet(*dict, "Kids"));
        if (!kids) return fail(QStringLiteral("page tree node without kids"));
        for (const QByteArray& kid : *kids) {
            const std::optional<TKpPdfRef> ref = PdfAsRef(kid);
            if (!ref) return fail(QStringLiteral("a page tree kid that is not a reference"));
            if (!collect(*ref, depth + 1, out)) return false;
        }
        return true;
    }
    if (type != "/Page") return fail(QStringLiteral("not a page: object %1").arg(node.Num));
    const auto box = PdfParseArray(PdfGet(*dict, "MediaBox"));
    if (!box || box->size() != 4) return fail(QStringLiteral("a page without its media box"));
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = (*box)[i].toDouble(&ok);
        if (!ok) return fail(QStringLiteral("a media box that is not numbers"));
    }
    out.push_back({node, QRectF(QPointF(v[0], v[1]), QPointF(v[2], v[3])).normalized()});
    return true;
}

std::vector<TKpPdfFile::Page> TKpPdfFile::Pages() {
    std::vector<Page> pages;
    const std::optional<TKpPdfDict> catalog = Dict(root_);
    const std::optional<TKpPdfRef> tree =
        catalog ? PdfAsRef(PdfGet(*catalog, "Pages")) : std::nullopt;
    if (!tree) {
        fail(QStringLiteral("a catalog without pages"));
        return {};
    }
    if (!collect(*tree, 0, pages)) return {};
    return pages;
}

} // namespace kp
