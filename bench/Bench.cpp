#include "Bench.h"

#include "PhoneFixture.h"
#include "Wait.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QProcess>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int phoneWaitMs = 30000;
constexpr int idleWaitMs = 600000;

} // namespace

Bench::Bench(Options options)
    : m_options(std::move(options))
    , m_home(QDir::tempPath() + QStringLiteral("/tessary-bench-XXXXXX"))
{
}

Bench::~Bench()
{
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
}

bool Bench::setUp(QString *error)
{
    if (!m_home.isValid()) {
        *error = QStringLiteral("cannot create a folder under %1").arg(QDir::tempPath());
        return false;
    }
    // The computer pane's Downloads, the pulls and the trash stay in a home of our own.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + QStringLiteral("/.local/share")).toUtf8());
    QDir(m_home.path()).mkpath(QStringLiteral("Downloads"));

    m_fixture = std::make_unique<PhoneFixture>();
    if (!m_fixture->start()) {
        *error = m_fixture->errorString();
        return false;
    }
    // No throttle: the link is as fast as loopback, adb and the emulator allow.
    m_serial = m_fixture->addPhone();
    if (m_serial.isEmpty()) {
        *error = m_fixture->errorString();
        return false;
    }
    m_fastSerial = m_serial;
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
    QDir().mkpath(onPhone(QStringLiteral("/storage/emulated/0/Bench")));

    m_model = std::make_unique<AppModel>();
    if (m_options.window) {
        m_window = std::make_unique<MainWindow>(m_model.get());
        m_window->resize(1200, 800);
        m_window->show();
    }
    if (!waitUntil(*m_model, [this] { return m_model->readyDevice().has_value(); }, phoneWaitMs)) {
        *error = QStringLiteral("the model did not see the emulated phone");
        return false;
    }
    m_model->setSelectedSerial(m_serial);
    waitUntil(*m_model, [this] { return !m_model->androidLoading(); }, phoneWaitMs);
    return true;
}

QList<FigureRow> Bench::run()
{
    QList<FigureRow> rows;
    // Each figure reports its own failure as its row, so one broken figure does not hide the
    // rest; a measure gives one row or several.
    const auto guarded = [&rows](const QString &number, const QString &figure, const auto &measure) {
        try {
            rows.append(measure());
        } catch (const std::exception &e) {
            rows.append(missingRow(number, figure, QStringLiteral("failed: %1").arg(QString::fromUtf8(e.what()))));
        }
    };
    if (wanted(1) || wanted(6) || wanted(12))
        guarded(QStringLiteral("1"), QStringLiteral("1 GiB file"), [this] { return bigFileFigures(); });
    if (wanted(2))
        guarded(QStringLiteral("2"), QStringLiteral("10,000 × 4 KiB folder"), [this] { return smallFilesFigures(); });
    if (wanted(10))
        guarded(QStringLiteral("10"), QStringLiteral("USB 2 link"), [this] { return throttledFigures(10, 35); });
    if (wanted(11))
        guarded(QStringLiteral("11"), QStringLiteral("USB 3 link"), [this] { return throttledFigures(11, 150); });
    if (wanted(9))
        guarded(QStringLiteral("9"), QStringLiteral("batch of 1,000 files"), [this] { return batchFigures(); });
    if (wanted(3))
        guarded(QStringLiteral("3"), QStringLiteral("list 100,000 entries"), [this] { return listingFigure(); });
    if (wanted(4))
        guarded(QStringLiteral("4"), QStringLiteral("backup scan"), [this] { return backupScanFigure(); });
    if (wanted(5))
        guarded(QStringLiteral("5"), QStringLiteral("computer pane"), [this] { return computerPaneFigure(); });
    if (wanted(7))
        guarded(QStringLiteral("7"), QStringLiteral("memory"), [this] { return memoryFigure(); });
    if (wanted(8))
        guarded(QStringLiteral("8"), QStringLiteral("cancel"), [this] { return cancelFigure(); });
    if (wanted(13))
        guarded(QStringLiteral("13"), QStringLiteral("window"), [this] { return windowFigures(); });
    // By figure number, then letter: "9" before "10a".
    const auto key = [](const QString &number) {
        qsizetype digits = 0;
        while (digits < number.size() && number.at(digits).isDigit())
            ++digits;
        return std::make_pair(number.left(digits).toInt(), number.mid(digits));
    };
    std::sort(rows.begin(), rows.end(),
              [&key](const FigureRow &a, const FigureRow &b) { return key(a.number) < key(b.number); });
    return rows;
}

double Bench::timeJob(const QString &source, TransferJob::Kind kind, const QString &destDir)
{
    m_model->clearFinishedTransfers();
    QElapsedTimer timer;
    timer.start();
    m_model->enqueue({source}, kind, destDir, false);
    std::optional<TransferJob> finished;
    const bool ended = waitUntil(*m_model, [&] {
        const QList<TransferJob> jobs = m_model->transfers();
        if (!jobs.isEmpty() && jobs.first().state.isFinished())
            finished = jobs.first();
        return finished.has_value();
    }, idleWaitMs);
    const double seconds = elapsedSeconds(timer);
    if (!ended)
        throw std::runtime_error("the transfer did not finish in time");
    if (finished->state.value() != TransferJob::State::Case::done)
        throw std::runtime_error(("the transfer ended with: " + finished->state.message()).toStdString());
    waitIdle();
    return seconds;
}

double Bench::timeAdb(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(m_fixture->environment());
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(m_fixture->adbPath(), arguments);
    const bool finished = process.waitForFinished(idleWaitMs);
    const double seconds = elapsedSeconds(timer);
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error(("adb " + arguments.join(QLatin1Char(' ')) + " failed: "
                                  + QString::fromUtf8(process.readAllStandardError()).trimmed())
                                     .toStdString());
    return seconds;
}

void Bench::usePhone(const QString &serial)
{
    m_serial = serial;
    QDir().mkpath(onPhone(QStringLiteral("/storage/emulated/0/Bench")));
    // The device poll lists a new phone within a few seconds; it is chosen once listed.
    if (!waitUntil(*m_model, [&] {
            const QList<AndroidDevice> devices = m_model->devices();
            const bool listed = std::any_of(devices.cbegin(), devices.cend(),
                                            [&](const AndroidDevice &device) { return device.serial == serial; });
            if (listed && m_model->selectedSerial() != serial)
                m_model->setSelectedSerial(serial);
            return m_model->readyDevice() && m_model->readyDevice()->serial == serial && !m_model->androidLoading();
        }, phoneWaitMs))
        throw std::runtime_error(("the model did not switch to " + serial).toStdString());
}

void Bench::waitIdle()
{
    if (!waitUntil(*m_model, [this] { return !m_model->workerRunning() && !m_model->androidLoading(); }, idleWaitMs))
        throw std::runtime_error("the transfer worker did not come to rest");
}

QString Bench::onPhone(const QString &phonePath) const
{
    return m_fixture->hostPath(m_serial, phonePath);
}
