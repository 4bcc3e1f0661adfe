#pragma once
// What the grid, labels and tree commands share: reading the input file, the paper options,
// writing the document as PDF or .kpp, and error reports on one line of standard error.
#include <cstdio>
#include <stdexcept>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "drawing/KpUnits.h"
#include "printing/KpErrors.h"

using namespace kp;

namespace kp {
class TKpPreview;
} // namespace kp

namespace kpptool {

class ErrorsToStderr;

// A mistake in the command line (exit code 2).
class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bad input (exit code 1).
class EInput : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole input file; EInput when it cannot be read or is too large to be a document.
QByteArray ReadInput(const QString& fileName);
// The value after the option args[i], with i moved onto it; EUsage when it is missing.
QString OptionValue(const QStringList& args, int& i);
// "A4", "Letter", ...; EUsage for any other name.
TKpPaperSize PaperFromName(const QString& name);
// A number given to an option, within [low, high]; EUsage otherwise.
double NumberArg(const QString& text, const char* option, double low, double high);
// OUT.pdf or OUT.kpp; EUsage for another ending.
void CheckOutputName(const QString& out);
// Writes the document; a run that fails, or whose components reported an error to `errors`,
// leaves no output file behind (nor a half-written one) and an earlier one as it was.
void WriteDocument(TKpPreview& preview, const QString& out, const ErrorsToStderr* errors = nullptr);

// Reports from the components go to standard error and mark the command as failed.
class ErrorsToStderr {
public:
    ErrorsToStderr();
    ~ErrorsToStderr();
    bool Failed() const { return failed_; }

private:
    TKpErrorReporter previous_;
    bool failed_ = false;
};

// Runs a command body, turning its exceptions into one-line errors and exit codes.
template <typename Body> int RunGuarded(const char* usage, Body body) {
    try {
        return body();
    } catch (const EUsage& e) {
        std::fprintf(stderr, "kpptool: error: %s\nusage: %s\n", e.what(), usage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kpptool: error: %s\n", e.what());
        return 1;
    }
}

} // namespace kpptool
