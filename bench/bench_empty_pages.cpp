// What an empty page costs: a million of them made through NewPage, then the same document
// saved and loaded into a fresh process, each as bytes per page of resident set growth and
// of heap in use (--pages=N for another count; --save=FILE keeps the document).
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

double residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

double heapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

struct Usage {
    double resident = residentBytes();
    double heap = heapBytes();
};

void report(const char* what, int pages, const Usage& before, double ms) {
    const Usage after;
    std::printf("%-30s %d pages in %.0f ms: %.1f B/page resident, %.1f B/page heap\n", what, pages,
                ms, (after.resident - before.resident) / pages, (after.heap - before.heap) / pages);
    std::fflush(stdout);
}

// The child: loads the document and reports what the load added.
int loadDocument(const QString& file) {
    TKpPreview preview;
    const Usage before;
    QElapsedTimer t;
    t.start();
    preview.LoadFromFile(file);
    report("loaded from a file", preview.NumPages() - 1, before, t.nsecsElapsed() / 1e6);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kp::SetScreenPixelsPerInchOverride(96);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--load")) return loadDocument(args[2]);

    int pages = 1000000;
    QString saveAs;
    for (const QString& a : args.mid(1)) {
        if (a.startsWith(QLatin1String("--benchmark_filter="))) {
            // The bench runner's filter: run only when it matches.
            if (!QRegularExpression(a.mid(19)).match(QStringLiteral("BM_EmptyPages")).hasMatch())
                return 0;
        } else if (a.startsWith(QLatin1String("--pages="))) {
            pages = std::max(1, a.mid(8).toInt());
        } else if (a.startsWith(QLatin1String("--save="))) {
            saveAs = a.mid(7);
        }
    }
    QTemporaryDir dir;
    const QString file = saveAs.isEmpty() ? dir.filePath(QStringLiteral("empty.kpp")) : saveAs;
    {
        TKpPreview preview;
        preview.AutoRefresh = false;
        const Usage before;
        QElapsedTimer t;
        t.start();
        for (int i = 1; i < pages; ++i)
            preview.NewPage();
        report("made through NewPage", pages - 1, before, t.nsecsElapsed() / 1e6);
        preview.SaveToFile(file);
    }
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load"), file});
    child.waitForFinished(-1);
    return child.exitCode();
}
