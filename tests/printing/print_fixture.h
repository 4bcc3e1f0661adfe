#pragma once
// Shared set-up of the printing tests: a preview with a parent window, a virtual PDF printer
// installed as the system printer, an error collector, objects added straight to pages
// (object_builders.h), and
// the poppler tools that read the PDF files back.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include "object_builders.h"
#include "platform/KpPrinterDevice.h"
#include "preview/KpPreview.h"
#include "printing/KpErrors.h"
#include "printing/KpPrinter.h"

using namespace kp;

namespace kptest {

// Collects every error report instead of showing it.
class ErrorCollector {
public:
    ErrorCollector() {
        previous_ = SetErrorReporter([this](const QString& text) { texts << text; });
    }
    ~ErrorCollector() { SetErrorReporter(std::move(previous_)); }
    QStringList texts;

private:
    TKpErrorReporter previous_;
};

// A virtual printer as the system printer for the lifetime of the object.
class VirtualPrinter {
public:
    explicit VirtualPrinter(std::vector<TKpVirtualPrinterSetup> setups) {
        auto backend = std::make_unique<TKpVirtualPrinterBackend>(std::move(setups));
        backend_ = backend.get();
        scope_ = std::make_unique<TKpScopedPrinterBackend>(std::move(backend));
    }
    explicit VirtualPrinter(const TKpVirtualPrinterSetup& setup)
        : VirtualPrinter(std::vector<TKpVirtualPrinterSetup>{setup}) {}
    const std::vector<TKpPrinterJobRecord>& Jobs() const { return backend_->Jobs(); }

private:
    TKpVirtualPrinterBackend* backend_;
    std::unique_ptr<TKpScopedPrinterBackend> scope_;
};

// A preview in a window, as a host form holds it.
struct PreviewHost {
    PreviewHost() : window(std::make_unique<QWidget>()) { preview = new TKpPreview(window.get()); }
    std::unique_ptr<QWidget> window;
    TKpPreview* preview; // owned by the window
};

// Runs a tool and returns its standard output ("" when it could not run).
inline QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Page sizes in points, as pdfinfo reports them.
struct PdfPage {
    double width = 0;
    double height = 0;
};

inline std::vector<PdfPage> PdfPages(const QString& file) {
    const QString info =
        Run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                        QStringLiteral("-l"), QStringLiteral("9999"), file});
    std::vector<PdfPage> pages;
    static const QRegularExpression re(
        QStringLiteral(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)"));
    for (auto it = re.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return pages;
}

inline QString PdfInfoField(const QString& file, const QString& field) {
    const QString info = Run(QStringLiteral("pdfinfo"), {file});
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':'))) return line.mid(field.size() + 1).trimmed();
    return QString();
}

// A word and its box in points, from pdftotext -bbox.
struct PdfWord {
    int page = 0;
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

inline std::vector<PdfWord> PdfWords(const QString& file) {
    const QString html =
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    std::vector<PdfWord> words;
    int page = 0;
    static const QRegularExpression pageRe(QStringLiteral("<page "));
    static const QRegularExpression wordRe(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (const QString& line : html.split(QLatin1Char('\n'))) {
        if (line.contains(pageRe)) ++page;
        const auto m = wordRe.match(line);
        if (m.hasMatch())
            words.push_back({page, m.captured(5), m.captured(1).toDouble(),
                             m.captured(2).toDouble(), m.captured(3).toDouble(),
                             m.captured(4).toDouble()});
    }
    return words;
}

inline const PdfWord* FindWord(const std::vector<PdfWord>& words, const QString& text) {
    for (const PdfWord& w : words)
        if (w.text == text) return &w;
    return nullptr;
}

// The command-line tool of this build.
inline QString Tool() {
    return QStringLiteral(PAGINOR_BINARY_DIR "/kpptool");
}

struct ToolResult {
    int code = -1;
    QString out, err;
};

inline ToolResult RunTool(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(Tool(), args);
    ToolResult r;
    if (!p.waitForFinished(120000)) return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline double Points(int devicePixels, int dpi) {
    return devicePixels * 72.0 / dpi;
}

} // namespace kptest
