// kpptool: batch work on document files from the command line.
#include <cstdio>
#include <exception>

#include <QApplication>
#include <QGuiApplication>

#include <memory>

#include "commands.h"

namespace {

void PrintUsage() {
    std::fprintf(stderr, "usage: kpptool dump FILE\n"
                         "       kpptool render FILE --page N [--zoom PERCENT] -o OUT.png\n"
                         "       kpptool export ...\n"
                         "       kpptool print ...\n"
                         "       kpptool grid IN.csv -o OUT.pdf|OUT.kpp ...\n"
                         "       kpptool labels IN.csv --template NAME -o OUT.pdf|OUT.kpp ...\n"
                         "       kpptool tree IN.txt -o OUT.pdf|OUT.kpp ...\n"
                         "       kpptool rtf IN.rtf -o OUT.kpp|OUT.pdf [options]\n"
                         "       kpptool picture IN.emf|IN.wmf -o OUT.png [--dpi N]\n"
                         "       kpptool find FILE TEXT [--case] [--words]\n");
}

// Errors are reported as one line of our own; the platform's notes would add noise.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "kpptool: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietMessages);
    // Without a display the commands still work off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Documents need no widgets; only the content printers lay out on a preview, a widget.
    const QString first = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool widgets = first == QLatin1String("grid") || first == QLatin1String("labels") ||
                         first == QLatin1String("tree") || first == QLatin1String("rtf");
    std::unique_ptr<QGuiApplication> app = widgets ? std::make_unique<QApplication>(argc, argv)
                                                   : std::make_unique<QGuiApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        PrintUsage();
        return 2;
    }
    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("dump")) return RunDump(args);
        if (command == QLatin1String("render")) return RunRender(args);
        if (command == QLatin1String("export")) return RunExport(args);
        if (command == QLatin1String("print")) return RunPrint(args);
        if (command == QLatin1String("grid")) return RunGrid(args);
        if (command == QLatin1String("labels")) return RunLabels(args);
        if (command == QLatin1String("tree")) return RunTree(args);
        if (command == QLatin1String("rtf")) return RunRtf(args);
        if (command == QLatin1String("picture")) return RunPicture(args);
        if (command == QLatin1String("find")) return RunFind(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kpptool: error: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "kpptool: error: unknown command '%s'\n", qPrintable(command));
    PrintUsage();
    return 2;
}
