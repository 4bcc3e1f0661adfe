#pragma once
// The real CUPS queue of the test run (cups-pdf): whether the spooler answers, the jobs a
// queue knows and the PDF file a job became.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include "print_fixture.h"

namespace kptest {

inline bool SpoolerRunning() {
    return Run(QStringLiteral("lpstat"), {QStringLiteral("-r")})
        .contains(QStringLiteral("scheduler is running"));
}

// The ids of the jobs the queue knows, finished or not.
inline QSet<int> JobIds(const QString& queue) {
    const QString out = Run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"),
                                                       QStringLiteral("-o"), queue});
    QSet<int> ids;
    static const QRegularExpression re(QStringLiteral(R"(^\S+-(\d+)\s)"));
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        const auto m = re.match(line);
        if (m.hasMatch()) ids.insert(m.captured(1).toInt());
    }
    return ids;
}

// cups-pdf writes $HOME/PDF/<mangled title>-job_<id>.pdf; waits for it to be complete.
inline QString WaitForJobFile(int id) {
    const QDir dir(QDir::homePath() + QStringLiteral("/PDF"));
    const QString suffix = QStringLiteral("job_%1.pdf").arg(id);
    QElapsedTimer timer;
    timer.start();
    QString found;
    qint64 lastSize = -1;
    while (timer.elapsed() < 60000) {
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files))
            if (f.fileName().endsWith(suffix)) found = f.absoluteFilePath();
        if (!found.isEmpty()) {
            const qint64 size = QFileInfo(found).size();
            const QString info = Run(QStringLiteral("lpstat"),
                                     {QStringLiteral("-W"), QStringLiteral("not-completed")});
            if (size > 0 && size == lastSize && !info.contains(QStringLiteral("-%1 ").arg(id)))
                return found;
            lastSize = size;
        }
        QThread::msleep(250);
    }
    return found;
}

} // namespace kptest
