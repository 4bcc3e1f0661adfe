#include "content/KpTreeList.h"

#include <QStringList>

#include "content/KpTextInput.h"

namespace kp {

bool TKpTreeList::IsVisible(int index) const {
    int level = node(index).Level;
    for (int i = index - 1; i >= 0 && level > 0; --i) {
        const TKpTreeNode& n = node(i);
        if (n.Level >= level) continue;
        if (!n.Expanded) return false; // an ancestor
        level = n.Level;
    }
    return true;
}

namespace {
// Characters a `tree` listing draws in front of a name, in its Unicode and ASCII styles.
bool isTreeDrawing(QChar c) {
    switch (c.unicode()) {
    case 0x2502: // │
    case 0x251C: // ├
    case 0x2514: // └
    case 0x2500: // ─
    case 0x00A0: // no-break space
    case '|':
    case '`':
        return true;
    default:
        return false;
    }
}
} // namespace

bool TKpOutlineReader::Read(const QByteArray& bytes) {
    nodes_.clear();
    error_.clear();
    QString text;
    if (!DecodeTextInput(bytes, text, error_)) return false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    std::vector<int> widths; // indentation of the open ancestors, innermost last
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        int width = 0, i = 0;
        bool drawing = false;
        for (; i < line.size(); ++i) {
            const QChar c = line[i];
            if (c == QLatin1Char(' ')) {
                ++width;
            } else if (c == QLatin1Char('\t')) {
                width = (width / 4 + 1) * 4;
            } else if (isTreeDrawing(c)) {
                ++width;
                drawing = true;
            } else if (c == QLatin1Char('-') && drawing) {
                ++width; // the ASCII style's "|-- " and "`-- "
            } else {
                break;
            }
        }
        const QString name = line.mid(i).trimmed();
        if (name.isEmpty()) continue;
        while (!widths.empty() && widths.back() > width)
            widths.pop_back();
        if (widths.empty() || widths.back() < width) widths.push_back(width);
        nodes_.push_back({name, static_cast<int>(widths.size()) - 1, -1, true});
    }
    if (nodes_.empty()) {
        error_ = QStringLiteral("the file holds no lines");
        return false;
    }
    return true;
}

} // namespace kp
