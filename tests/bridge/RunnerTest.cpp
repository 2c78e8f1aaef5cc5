// The process runner: streaming, cancellation, statuses, lookup, terminal mode.
#include "RunnerTest.h"
#include "Patience.h"
#include "Await.h"

#include "StandIn.h"
#include "bridge/ADB.h"
#include "bridge/ProcessIoFile.h"
#include "bridge/TerminalReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtConcurrent>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

ProcessResult runNow(const QStringList &args, CancelTokenPtr token = {},
                     std::function<void(const QString &)> onChunk = {}, RunMode mode = RunMode::Pipes)
{
    return await(ADB::shared().run(args, std::move(token), std::move(onChunk), mode));
}

QByteArray sequence(qint64 from, qint64 to)
{
    QByteArray bytes;
    for (qint64 n = from; n <= to; ++n)
        bytes += QByteArray::number(n) + '\n';
    return bytes;
}

// A raw pseudo-terminal: the master's descriptor, and the other side's in `slave`.
int openTerminal(int *slave)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0)
        return -1;
    *slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios attributes {};
    ::tcgetattr(*slave, &attributes);
    ::cfmakeraw(&attributes);
    ::tcsetattr(*slave, TCSANOW, &attributes);
    return master;
}

QString writeScript(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

}

void RunnerTest::eventLoopRunsWhileChildRuns()
{
    StandIn standIn;
    standIn.script({StandIn::rule({}, {StandIn::sleepMs(1000), StandIn::out(QStringLiteral("done"))})});
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    const ProcessResult result = runNow({QStringLiteral("x")});
    QCOMPARE(result.output, QStringLiteral("done"));
    QVERIFY(ticks > 0);
}

void RunnerTest::argumentVectorReachesChildUnchanged()
{
    StandIn standIn;
    const QStringList args{QStringLiteral("-s"), QStringLiteral("serial 1"), QStringLiteral("shell"),
                           QStringLiteral("ls -lAL '/it'\\''s $HOME/*;`x`/'"), QString(), QStringLiteral("é\nü")};
    runNow(args);
    QCOMPARE(standIn.calls(), QList<QStringList>{args});
}

void RunnerTest::largeInterleavedStreamsStayComplete()
{
    StandIn standIn;
    constexpr qint64 total = 2'700'000; // about 20 MB of lines per stream
    constexpr qint64 blocks = 30;
    QJsonArray steps;
    for (qint64 b = 0; b < blocks; ++b) {
        const qint64 from = b * total / blocks + 1;
        const qint64 to = (b + 1) * total / blocks;
        steps.append(QJsonObject{{QStringLiteral("outSeq"), QJsonArray{from, to}}});
        steps.append(QJsonObject{{QStringLiteral("errSeq"), QJsonArray{from, to}}});
    }
    standIn.script({StandIn::rule({}, steps)});
    qint64 chunkChars = 0;
    const ProcessResult result = runNow({QStringLiteral("x")}, {}, [&](const QString &text) { chunkChars += text.size(); });
    const QByteArray expected = sequence(1, total);
    QVERIFY(expected.size() > 20'000'000);
    QCOMPARE(result.data.size(), expected.size());
    QVERIFY(result.data == expected);
    QVERIFY(result.output == QString::fromLatin1(expected));
    QVERIFY(result.error == QString::fromLatin1(expected));
    QCOMPARE(chunkChars, 2 * expected.size());
}

void RunnerTest::splitCharacterIsKeptButNotPassedOn()
{
    StandIn standIn;
    const QByteArray e = QStringLiteral("é").toUtf8();
    standIn.script({StandIn::rule({}, {StandIn::out(QStringLiteral("ab")), StandIn::sleepMs(500),
                                       StandIn::outBytes(e.left(1)), StandIn::sleepMs(500),
                                       StandIn::outBytes(e.mid(1) + "x")})});
    QStringList chunks;
    const ProcessResult result = runNow({QStringLiteral("x")}, {}, [&](const QString &text) { chunks << text; });
    QCOMPARE(result.output, QStringLiteral("abéx"));
    QCOMPARE(result.data, QByteArray("ab") + e + "x");
    for (const QString &chunk : std::as_const(chunks)) {
        QVERIFY2(!chunk.contains(QChar::ReplacementCharacter), qPrintable(chunk));
        QVERIFY2(!chunk.contains(QLatin1Char('x')), qPrintable(chunk));
    }
}

void RunnerTest::invalidBytesAreRepairedInText()
{
    StandIn standIn;
    standIn.script({StandIn::rule({}, {StandIn::outBytes(QByteArray("a\xff" "b", 3))})});
    QStringList chunks;
    const ProcessResult result = runNow({QStringLiteral("x")}, {}, [&](const QString &text) { chunks << text; });
    QCOMPARE(result.output, QStringLiteral("a\uFFFDb"));
    QCOMPARE(result.data, QByteArray("a\xff" "b", 3));
    QVERIFY(chunks.isEmpty());
}

void RunnerTest::cancelledTokenEndsChild()
{
    StandIn standIn;
    standIn.script({StandIn::rule({}, {StandIn::out(QStringLiteral("started")), StandIn::sleepMs(30000)})});
    auto token = std::make_shared<CancelToken>();
    token->cancel();
    const ProcessResult result = runNow({QStringLiteral("x")}, token);
    QCOMPARE(result.status, 15);
    QVERIFY(token->isCancelled());
}

void RunnerTest::cancelDuringRunEndsChild()
{
    StandIn standIn;
    standIn.script({StandIn::rule({}, {StandIn::out(QStringLiteral("started\n")), StandIn::sleepMs(30000)})});
    auto token = std::make_shared<CancelToken>();
    // Cancel once the child has shown it runs, from another thread as the transfer list may.
    const ProcessResult result = runNow({QStringLiteral("x")}, token, [token](const QString &) {
        QThreadPool::globalInstance()->start([token] { token->cancel(); });
    });
    QCOMPARE(result.status, 15);
    QCOMPARE(result.output, QStringLiteral("started\n"));
    QVERIFY(token->isCancelled());
    token->cancel(); // repeated, after the child is gone: harmless
}

void RunnerTest::statusAndSignal_data()
{
    QTest::addColumn<int>("exit");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("status");
    QTest::newRow("success") << 0 << 0 << 0;
    QTest::newRow("non-zero with empty output is returned") << 3 << 0 << 3;
    QTest::newRow("killed") << 0 << 9 << 9;
    QTest::newRow("aborted") << 0 << 6 << 6;
}

void RunnerTest::statusAndSignal()
{
    QFETCH(int, exit);
    QFETCH(int, signal);
    QFETCH(int, status);
    StandIn standIn;
    standIn.script({StandIn::rule({}, {}, exit, signal)});
    const ProcessResult result = runNow({QStringLiteral("x")});
    QCOMPARE(result.status, status);
    QVERIFY(result.output.isEmpty());
    QVERIFY(result.error.isEmpty());
}

void RunnerTest::missingAdbFailsEveryRun()
{
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/adb"), QStringLiteral("/nonexistent/other")});
    QVERIFY(!ADB::shared().executable());
    try {
        runNow({QStringLiteral("devices")});
        QFAIL("run did not throw");
    } catch (const ADBError &error) {
        QVERIFY(error.isNotFound());
        QCOMPARE(error.message(), QStringLiteral("adb was not found."));
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("adb was not found."));
    }
}

void RunnerTest::startErrorIsPassedOn()
{
    QTemporaryDir dir;
    // Executable bit, but nothing the system can run.
    const QString path = dir.filePath(QStringLiteral("adb"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray("\x7f" "ELF garbage", 12));
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    ADB::shared().setCandidatesForTesting({path});
    QCOMPARE(ADB::shared().executable(), std::optional<QString>(path));
    try {
        runNow({QStringLiteral("devices")});
        QFAIL("run did not throw");
    } catch (const ADBError &) {
        QFAIL("a start error must not become an ADBError");
    } catch (const ProcessStartError &error) {
        QVERIFY(!error.message().isEmpty());
    }
}

void RunnerTest::lookupTakesFirstExecutableCandidate()
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile file(plain);
    file.open(QIODevice::WriteOnly);
    file.close();
    const QString own = writeScript(dir, QStringLiteral("own"), "true\n");
    const QString other = writeScript(dir, QStringLiteral("other"), "true\n");
    ADB::shared().setCandidatesForTesting({dir.filePath(QStringLiteral("missing")), plain, dir.path(), own, other});
    QCOMPARE(ADB::shared().executable(), std::optional<QString>(own));
    // Found once: removing it later is not noticed.
    QFile::remove(own);
    QCOMPARE(ADB::shared().executable(), std::optional<QString>(own));
}

void RunnerTest::lookupIsOnceAcrossThreads()
{
    StandIn standIn;
    QList<QFuture<std::optional<QString>>> lookups;
    for (int i = 0; i < 8; ++i)
        lookups << QtConcurrent::run([] { return ADB::shared().executable(); });
    for (auto &lookup : lookups)
        QCOMPARE(lookup.result(), std::optional<QString>(StandIn::path()));
}

void RunnerTest::defaultCandidatesNeverUsePath()
{
    const QStringList candidates = ADB::defaultCandidates();
    const QString home = QDir::homePath();
    const QStringList tail{QDir::currentPath() + QStringLiteral("/vendor/platform-tools/adb"),
                           QStringLiteral("/opt/homebrew/bin/adb"),
                           QStringLiteral("/usr/local/bin/adb"),
                           home + QStringLiteral("/Library/Android/sdk/platform-tools/adb"),
                           QStringLiteral("/usr/bin/adb"),
                           home + QStringLiteral("/Android/Sdk/platform-tools/adb")};
    QVERIFY(candidates.size() == tail.size() || candidates.size() == tail.size() + 1);
    QCOMPARE(candidates.mid(candidates.size() - tail.size()), tail);
    if (candidates.size() > tail.size())
        QVERIFY(candidates.first().endsWith(QLatin1String("/share/tessary/adb")));
}

void RunnerTest::terminalModeGivesProgressLines()
{
    QTemporaryDir dir;
    const QString script = writeScript(dir, QStringLiteral("adb"),
        "[ -t 1 ] || { echo 'stdout is not a terminal'; exit 2; }\n"
        "[ -t 0 ] && { echo 'stdin is a terminal'; exit 3; }\n"
        "[ -t 2 ] && { echo 'stderr is a terminal'; exit 4; }\n"
        "[ -n \"$TERM\" ] && [ \"$TERM\" != dumb ] || { echo \"TERM=$TERM\"; exit 5; }\n"
        "printf '\\r[ 42%%] /sdcard/x\\033[K'\n"
        "sleep 0.2\n"
        "printf '\\r[100%%] /sdcard/x\\033[K'\n"
        "printf '\\nx: 1 file pushed.\\n'\n"
        "echo 'warning' >&2\n"
        "exit 7\n");
    ADB::shared().setCandidatesForTesting({script});
    const QByteArray savedTerm = qgetenv("TERM");
    qputenv("TERM", "dumb");
    QStringList chunks;
    const ProcessResult result = runNow({QStringLiteral("push")}, {}, [&](const QString &text) { chunks << text; },
                                        RunMode::Terminal);
    qputenv("TERM", savedTerm);
    QCOMPARE(result.status, 7);
    QCOMPARE(result.output, QStringLiteral("\r[ 42%] /sdcard/x\r[100%] /sdcard/x\nx: 1 file pushed.\n"));
    QCOMPARE(result.error, QStringLiteral("warning\n"));
    const QString joined = chunks.join(QString());
    QVERIFY(joined.contains(QStringLiteral("[ 42%]")));
    QVERIFY(!joined.contains(QChar(0x1b)));
    QCOMPARE(ADB::lastMeaningfulLine(result.output), QStringLiteral("x: 1 file pushed."));
}

void RunnerTest::terminalModeCancels()
{
    QTemporaryDir dir;
    const QString script = writeScript(dir, QStringLiteral("adb"), "printf '[  0%%] /sdcard/x'\nexec sleep 30\n");
    ADB::shared().setCandidatesForTesting({script});
    auto token = std::make_shared<CancelToken>();
    const ProcessResult result = runNow({QStringLiteral("pull")}, token, [token](const QString &) { token->cancel(); },
                                        RunMode::Terminal);
    QCOMPARE(result.status, 15);
    QCOMPARE(result.output, QStringLiteral("[  0%] /sdcard/x"));
}

void RunnerTest::terminalReaderKeepsEveryByteInOrder()
{
    int slave = -1;
    const int master = openTerminal(&slave);
    QVERIFY(master >= 0 && slave >= 0);
    const QByteArray expected = sequence(1, 200000);
    QByteArray received;
    int endings = 0;
    bool endedAfterBytes = true;
    {
        TerminalReader reader(master);
        QObject::connect(&reader, &TerminalReader::received, [&](const QByteArray &bytes) {
            endedAfterBytes = endings == 0;
            received += bytes;
        });
        QObject::connect(&reader, &TerminalReader::ended, [&] { ++endings; });
        // Written in small pieces from another thread, as a child prints its lines.
        std::thread writer([slave, &expected] {
            for (qsizetype at = 0; at < expected.size(); at += 100) {
                const QByteArray piece = expected.mid(at, 100);
                qsizetype written = 0;
                while (written < piece.size()) {
                    const ssize_t n = ::write(slave, piece.constData() + written, size_t(piece.size() - written));
                    if (n > 0)
                        written += n;
                }
            }
            ::close(slave);
        });
        QTRY_COMPARE_WITH_TIMEOUT(endings, 1, 60000);
        writer.join();
    }
    ::close(master);
    QCOMPARE(received.size(), expected.size());
    QVERIFY(received == expected);
    QVERIFY(endedAfterBytes);
}

void RunnerTest::terminalReaderStopsWhileWaiting()
{
    int slave = -1;
    const int master = openTerminal(&slave);
    QVERIFY(master >= 0 && slave >= 0);
    QByteArray received;
    bool ended = false;
    {
        TerminalReader reader(master);
        QObject::connect(&reader, &TerminalReader::received, [&](const QByteArray &bytes) { received += bytes; });
        QObject::connect(&reader, &TerminalReader::ended, [&] { ended = true; });
        QCOMPARE(::write(slave, "early", 5), ssize_t(5));
        QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("early"), kPatienceMs);
        // The reader now waits for more, with the other side still open.
    }
    QCOMPARE(::write(slave, "late", 4), ssize_t(4));
    QCoreApplication::processEvents();
    QCOMPARE(received, QByteArray("early"));
    QVERIFY(!ended);
    ::close(slave);
    ::close(master);
}

void RunnerTest::startedGivesTheChildsProcessId()
{
    QTemporaryDir dir;
    const QString script = writeScript(dir, QStringLiteral("adb"), "echo $$\nsleep 0.2\n");
    ADB::shared().setCandidatesForTesting({script});
    QList<qint64> started;
    std::optional<ProcessIo> counters;
    const std::function<void(qint64)> onStarted = [&](qint64 pid) {
        started << pid;
        counters = readProcessIo(pid);
    };
    const ProcessResult result = await(ADB::shared().run({QStringLiteral("push")}, {}, {}, RunMode::Pipes, onStarted));
    QCOMPARE(result.status, 0);
    // The shell prints its own process id: the child the runner started.
    QCOMPARE(started, QList<qint64>{result.output.trimmed().toLongLong()});
    QVERIFY(counters.has_value());
}

void RunnerTest::processCountersFollowWrites()
{
    QVERIFY(processIoReadable());
    const std::optional<ProcessIo> before = readProcessIo(::getpid());
    QVERIFY(before.has_value());
    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    QVERIFY(sink >= 0);
    const QByteArray block(1 << 20, 'x');
    for (int i = 0; i < 3; ++i)
        QCOMPARE(::write(sink, block.constData(), block.size()), ssize_t(block.size()));
    ::close(sink);
    const std::optional<ProcessIo> after = readProcessIo(::getpid());
    QVERIFY(after.has_value());
    QVERIFY(after->wchar - before->wchar >= 3 * block.size());
    QVERIFY(!readProcessIo(0).has_value());
}
