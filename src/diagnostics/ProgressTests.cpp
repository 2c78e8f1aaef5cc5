#include "diagnostics/ProgressTests.h"

#include "diagnostics/CheckLog.h"
#include "diagnostics/RoundTripNumber.h"
#include "diagnostics/Uptime.h"
#include "model/Sizing.h"
#include "model/transfer/TransferMeter.h"
#include "model/transfer/TransferPaths.h"

#include <QCoro/QCoroTimer>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

using namespace std::chrono_literals;

namespace ProgressTests {

namespace {

// The folder with the size fixtures; removed when the run ends, however it ends.
class Fixture
{
public:
    Fixture()
        : m_root(QDir::tempPath() + QStringLiteral("/tessary-progress-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QDir().mkpath(m_root + QStringLiteral("/sub"));
        writeZeros(QStringLiteral("a.bin"), 1000);
        writeZeros(QStringLiteral("sub/b.bin"), 2500);
    }
    ~Fixture() { QDir(m_root).removeRecursively(); }
    Fixture(const Fixture &) = delete;
    Fixture &operator=(const Fixture &) = delete;

    QString path(const QString &name) const { return m_root + QLatin1Char('/') + name; }
    QString root() const { return m_root; }

private:
    void writeZeros(const QString &name, qsizetype count) const
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(count, '\0'));
    }

    QString m_root;
};

QString numberOrMinusOne(std::optional<double> value)
{
    return roundTripNumber(value.value_or(-1.0));
}

// Appends 500 000 zero bytes eight times, a quarter second apart, like a transfer writing
// its destination.
QCoro::Task<> growFile(QString path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        co_return;
    const QByteArray chunk(500000, '\0');
    for (int i = 0; i < 8; ++i) {
        file.write(chunk);
        file.flush();
        co_await QCoro::sleepFor(250ms);
    }
    file.close();
}

}

QCoro::Task<int> run()
{
    CheckLog log;
    const Fixture fixture;

    TransferMeter a;
    a.total = 2000000000;
    a.done = 100000000;
    TransferMeter::record(a.samples, 100, 0);
    TransferMeter::record(a.samples, 102, 100000000);

    const double fraction = double(a.done) / double(a.total);
    log.check(QStringLiteral("fraction"), fraction == 0.05, roundTripNumber(fraction));

    const auto speed = a.speed();
    log.check(QStringLiteral("speed is about 50 MB/s"), speed && std::fabs(*speed - 50000000) <= 1.0,
              numberOrMinusOne(speed));

    const auto left = a.secondsLeft();
    log.check(QStringLiteral("time left is about 38 s"), left && std::fabs(*left - 38) <= 0.5,
              numberOrMinusOne(left));

    TransferMeter full;
    full.total = 10;
    TransferMeter::record(full.samples, 1, 10);
    full.done = full.samples.last().bytes;
    // The bar follows the measured size but stops short of full until adb itself finishes.
    const double shown = std::clamp(double(full.done) / double(full.total), 0.0, 0.99);
    log.check(QStringLiteral("never shows 100% before adb finishes"), shown == 0.99 && shown < 1);

    TransferMeter unknown;
    unknown.total = 0;
    log.check(QStringLiteral("unknown total is indeterminate"), unknown.total < 1);

    TransferMeter single;
    TransferMeter::record(single.samples, 1, 5);
    log.check(QStringLiteral("no speed with a single sample"), !single.speed().has_value());

    TransferMeter windowed;
    TransferMeter::record(windowed.samples, 0, 0);
    TransferMeter::record(windowed.samples, 1, 500000);
    TransferMeter::record(windowed.samples, 20, 500000);
    TransferMeter::record(windowed.samples, 22, 500000);
    const QList<TransferMeter::Sample> lastTwo{{20, 500000}, {22, 500000}};
    const auto windowedSpeed = windowed.speed();
    log.check(QStringLiteral("old samples fall out of the speed window"),
              windowed.samples == lastTwo && windowedSpeed && *windowedSpeed == 0);

    log.check(QStringLiteral("duration format"),
              TransferMeter::duration(5) == QStringLiteral("5s") && TransferMeter::duration(75) == QStringLiteral("1:15")
                  && TransferMeter::duration(3725) == QStringLiteral("1:02:05"));

    const QString description = a.description();
    log.check(QStringLiteral("description shows bytes, speed, time left"),
              description.contains(QStringLiteral(" of ")) && description.contains(QStringLiteral("/s"))
                  && description.contains(QStringLiteral("left")),
              description);

    log.check(QStringLiteral("parse stat output"), Sizing::parseStat(QStringLiteral("2147483648\n")) == 2147483648);
    log.check(QStringLiteral("parse du output"), Sizing::parseStat(QStringLiteral("1024\t/sdcard/Download/x\n")) == 1024);
    log.check(QStringLiteral("parse missing file"),
              !Sizing::parseStat(QStringLiteral("stat: '/sdcard/x': No such file or directory\n")).has_value());

    TransferSpec toFolder;
    toFolder.kind = TransferKind::toMac;
    toFolder.source = QStringLiteral("/sdcard/Download/a.zip");
    toFolder.destDir = QStringLiteral("/Users/me/Downloads/");
    log.check(QStringLiteral("destination: folder target"),
              destinationPath(toFolder) == QStringLiteral("/Users/me/Downloads/a.zip"));

    TransferSpec toExact = toFolder;
    toExact.destDir = QStringLiteral("/Users/me/Downloads");
    toExact.targetName = QStringLiteral("b.zip");
    const QString exact = destinationPath(toExact);
    log.check(QStringLiteral("destination: exact target"),
              exact == QStringLiteral("/Users/me/Downloads/b.zip") && exact != QStringLiteral("/Users/me/Downloads/b.zipa.zip"));

    log.check(QStringLiteral("local size of a file"), Sizing::local(fixture.path(QStringLiteral("a.bin"))) == 1000);
    log.check(QStringLiteral("local size of a folder"), Sizing::local(fixture.root()) == 3500);
    log.check(QStringLiteral("local size of a missing path is 0"), Sizing::local(fixture.path(QStringLiteral("nope"))) == 0);

    const QString copy = fixture.path(QStringLiteral("copy.bin"));
    QFile(copy).open(QIODevice::WriteOnly);
    constexpr qint64 expected = 4000000;
    TransferMeter live;
    live.total = expected;
    QList<double> fractions;
    const double start = uptime();
    QCoro::Task<> writer = growFile(copy);
    while (uptime() - start < 2.6) {
        const qint64 size = Sizing::local(copy);
        if (size > 0) {
            TransferMeter::record(live.samples, uptime(), size);
            live.done = size;
        }
        fractions.append(std::min(0.99, double(size) / double(expected)));
        co_await QCoro::sleepFor(200ms);
    }
    co_await writer;

    const bool rising = std::is_sorted(fractions.cbegin(), fractions.cend());
    const std::optional<double> first = fractions.isEmpty() ? std::nullopt : std::optional(fractions.first());
    const std::optional<double> last = fractions.isEmpty() ? std::nullopt : std::optional(fractions.last());
    log.check(QStringLiteral("watching a growing file gives rising progress"),
              rising && first && *first < 0.5 && last && *last > 0.9,
              QStringLiteral("first ") + numberOrMinusOne(first) + QStringLiteral(", last ") + numberOrMinusOne(last));

    const auto liveSpeed = live.speed();
    log.check(QStringLiteral("speed is measured while it grows"), liveSpeed && *liveSpeed >= 0);

    if (log.failures() == 0)
        log.print(QStringLiteral("ALL PROGRESS TESTS PASSED"));
    else
        log.print(QString::number(log.failures()) + QStringLiteral(" PROGRESS TEST(S) FAILED"));
    co_return log.failures() == 0 ? 0 : 1;
}

}
