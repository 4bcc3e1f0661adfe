#include "platform/KpCupsResolution.h"

#include <QFile>
#include <QLibrary>
#include <QRegularExpression>

namespace kp {

namespace {

// The parts of the CUPS library's interface read here; the library is loaded when needed, so
// the suite neither links it nor needs its headers.
struct CupsOption {
    char* name;
    char* value;
};
struct CupsDest {
    char* name;
    char* instance;
    int isDefault;
    int numOptions;
    CupsOption* options;
};
using GetNamedDestFn = CupsDest* (*)(void* http, const char* name, const char* instance);
using GetOptionFn = const char* (*)(const char* name, int numOptions, CupsOption* options);
using FreeDestsFn = void (*)(int numDests, CupsDest* dests);
using GetPpdFn = const char* (*)(const char* name);

struct CupsLibrary {
    CupsLibrary() : library(QStringLiteral("cups"), 2) {
        if (!library.load()) return;
        getNamedDest = reinterpret_cast<GetNamedDestFn>(library.resolve("cupsGetNamedDest"));
        getOption = reinterpret_cast<GetOptionFn>(library.resolve("cupsGetOption"));
        freeDests = reinterpret_cast<FreeDestsFn>(library.resolve("cupsFreeDests"));
        getPpd = reinterpret_cast<GetPpdFn>(library.resolve("cupsGetPPD"));
    }
    bool Usable() const { return getNamedDest && getOption && freeDests && getPpd; }
    QLibrary library;
    GetNamedDestFn getNamedDest = nullptr;
    GetOptionFn getOption = nullptr;
    FreeDestsFn freeDests = nullptr;
    GetPpdFn getPpd = nullptr;
};

CupsLibrary& cups() {
    static CupsLibrary library;
    return library;
}

// The "*DefaultResolution:" of a PPD file.
int ppdDefaultResolution(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    static const QByteArray key("*DefaultResolution:");
    // A PPD is a few hundred kilobytes at most; the default sits near the top.
    for (int lines = 0; lines < 20000 && !file.atEnd(); ++lines) {
        const QByteArray line = file.readLine(4096).trimmed();
        if (line.startsWith(key)) return KpParseResolution(line.mid(key.size()).trimmed());
    }
    return 0;
}

} // namespace

int KpParseResolution(const QByteArray& text) {
    static const QRegularExpression re(QStringLiteral(R"(^(\d{1,5})(?:x(\d{1,5}))?(dpi|dpcm)$)"));
    const auto m = re.match(QString::fromLatin1(text.trimmed()));
    if (!m.hasMatch()) return 0;
    const int x = m.captured(1).toInt();
    return m.captured(3) == QLatin1String("dpcm") ? qRound(x * 2.54) : x;
}

int KpCupsDefaultResolution(const QString& queue) {
    CupsLibrary& lib = cups();
    if (!lib.Usable() || queue.isEmpty()) return 0;
    const QByteArray name = queue.toLocal8Bit();
    // A default chosen with lpoptions or lpadmin comes first.
    if (CupsDest* dest = lib.getNamedDest(nullptr, name.constData(), nullptr)) {
        const char* value = lib.getOption("Resolution", dest->numOptions, dest->options);
        const int dpi = value ? KpParseResolution(QByteArray(value)) : 0;
        lib.freeDests(1, dest);
        if (dpi > 0) return dpi;
    }
    // The caller owns the copy of the PPD that the spooler hands out.
    const char* ppd = lib.getPpd(name.constData());
    if (!ppd) return 0;
    const QString ppdFile = QString::fromLocal8Bit(ppd);
    const int dpi = ppdDefaultResolution(ppdFile);
    QFile::remove(ppdFile);
    return dpi;
}

} // namespace kp
