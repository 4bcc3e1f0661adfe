// `find`: where a text stands on a document's pages, one line per match.
#include <cstdio>

#include "commands.h"
#include "drawing/KpDocument.h"

using namespace kp;

int RunFind(const QStringList& args) {
    QString file, text;
    TKpFindOptions options;
    int positional = 0;
    for (const QString& a : args) {
        if (a == QLatin1String("--case")) {
            options.MatchCase = true;
        } else if (a == QLatin1String("--words")) {
            options.WholeWords = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "kpptool: error: unknown option '%s'\n", qPrintable(a));
            return 2;
        } else if (positional++ == 0) {
            file = a;
        } else if (positional == 2) {
            text = a;
        } else {
            std::fprintf(stderr, "kpptool: error: find takes FILE and TEXT\n");
            return 2;
        }
    }
    if (file.isEmpty() || text.isEmpty()) {
        std::fprintf(stderr, "kpptool: error: find takes FILE and TEXT\n");
        return 2;
    }
    TKpDocument document;
    document.LoadFromFile(file);
    const auto matches = document.FindText(text, options);
    // Page, then the box in millimetres: left, top, width, height.
    for (const TKpFindMatch& m : matches)
        std::printf("%d %.2f %.2f %.2f %.2f\n", m.Page, m.Rect.left() / 100.0, m.Rect.top() / 100.0,
                    m.Rect.width() / 100.0, m.Rect.height() / 100.0);
    return matches.empty() ? 1 : 0;
}
