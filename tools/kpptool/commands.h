#pragma once
// The commands of kpptool. Each takes the arguments after its name and returns the
// process exit code; errors are reported on one line of standard error.
#include <QStringList>

int RunDump(const QStringList& args);
int RunRender(const QStringList& args);
int RunExport(const QStringList& args);
int RunPrint(const QStringList& args);
int RunGrid(const QStringList& args);
int RunLabels(const QStringList& args);
int RunTree(const QStringList& args);
int RunRtf(const QStringList& args);
int RunPicture(const QStringList& args);
int RunFind(const QStringList& args);
