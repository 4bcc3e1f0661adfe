// Whole inputs read with a limit: regular files, pipes and endless devices alike.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QBuffer>
#include <QFile>

#include "platform/KpLimitedRead.h"

using namespace kp;

namespace {

struct LimitCase {
    qint64 size, limit;
    bool ok;
};

class LimitedRead : public ::testing::TestWithParam<LimitCase> {};

TEST_P(LimitedRead, BufferUpToTheLimitIsRead) {
    const auto [size, limit, ok] = GetParam();
    QByteArray bytes(size, 'x');
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QByteArray data;
    QString error;
    EXPECT_EQ(kp::ReadLimited(buffer, limit, QStringLiteral("in.rtf"), data, error), ok);
    EXPECT_EQ(data.size(), ok ? size : 0);
    EXPECT_EQ(error, ok ? QString() : "in.rtf is larger than " + kp::ByteLimitText(limit));
}

INSTANTIATE_TEST_SUITE_P(Sizes, LimitedRead,
                         ::testing::Values(LimitCase{0, 0, true}, LimitCase{1, 0, false},
                                           LimitCase{4096, 4096, true},
                                           LimitCase{4097, 4096, false},
                                           LimitCase{3 << 20, 3 << 20, true},
                                           LimitCase{(3 << 20) + 1, 3 << 20, false}));

TEST(LimitedRead, LimitTexts) {
    EXPECT_EQ(kp::ByteLimitText(qint64(1) << 30), "1 GiB");
    EXPECT_EQ(kp::ByteLimitText(256LL << 20), "256 MiB");
    EXPECT_EQ(kp::ByteLimitText(4097), "4097 bytes");
}

// /dev/zero claims size 0 and never ends: it is refused once past the limit.
TEST(LimitedRead, EndlessDeviceIsRefused) {
    QFile zero(QStringLiteral("/dev/zero"));
    ASSERT_TRUE(zero.open(QIODevice::ReadOnly));
    QByteArray data;
    QString error;
    EXPECT_FALSE(kp::ReadLimited(zero, 5 << 20, zero.fileName(), data, error));
    EXPECT_EQ(error, "/dev/zero is larger than 5 MiB");
    EXPECT_TRUE(data.isEmpty());
}

TEST(LimitedRead, PipeIsReadToItsEndOrRefused) {
    for (const qint64 limit : {qint64(9000), qint64(8999)}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const QByteArray sent(9000, 'p');
        ASSERT_EQ(write(fds[1], sent.constData(), sent.size()), sent.size());
        close(fds[1]);
        QFile in;
        ASSERT_TRUE(in.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QByteArray data;
        QString error;
        const bool ok = kp::ReadLimited(in, limit, QStringLiteral("pipe"), data, error);
        EXPECT_EQ(ok, limit == 9000) << limit;
        EXPECT_EQ(data, ok ? sent : QByteArray());
    }
}

} // namespace
