#include "platform/KpLimitedRead.h"

#include <algorithm>

#include <QIODevice>

namespace kp {

namespace {
constexpr qint64 kBlock = qint64(1) << 20;
// A device that delivers its bytes later (a socket, a process) is given this long per block.
constexpr int kWaitMs = 30000;
} // namespace

QString ByteLimitText(qint64 limit) {
    constexpr qint64 MiB = qint64(1) << 20, GiB = qint64(1) << 30;
    if (limit >= GiB && limit % GiB == 0) return QStringLiteral("%1 GiB").arg(limit / GiB);
    if (limit >= MiB && limit % MiB == 0) return QStringLiteral("%1 MiB").arg(limit / MiB);
    return QStringLiteral("%1 bytes").arg(limit);
}

bool ReadLimited(QIODevice& device, qint64 limit, const QString& name, QByteArray& data,
                 QString& error) {
    data.clear();
    // A regular file tells its size; reserving it spares the growth copies.
    if (!device.isSequential())
        data.reserve(static_cast<qsizetype>(
            std::clamp<qint64>(device.size() - device.pos(), 0, std::min(limit, kBlock * 64))));
    for (;;) {
        // One byte beyond the limit is enough to know the input is too long.
        const qint64 want = std::min(kBlock, limit + 1 - data.size());
        const qsizetype before = data.size();
        data.resize(before + want);
        const qint64 got = device.read(data.data() + before, want);
        data.resize(before + std::max<qint64>(got, 0));
        if (got < 0) {
            data.clear();
            error = QStringLiteral("cannot read %1: %2").arg(name, device.errorString());
            return false;
        }
        if (data.size() > limit) {
            data.clear();
            data.squeeze();
            error = QStringLiteral("%1 is larger than %2").arg(name, ByteLimitText(limit));
            return false;
        }
        // Files and pipes read 0 only at their end; other devices may still be sending.
        if (got == 0 && (device.atEnd() || !device.waitForReadyRead(kWaitMs))) break;
    }
    error.clear();
    return true;
}

} // namespace kp
