#include "diagnostics/SelfTest.h"

#include "bridge/ADB.h"
#include "common/ByteCount.h"
#include "diagnostics/CheckLog.h"
#include "model/transfer/Naming.h"

#include <QCoro/QCoroTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QUuid>

#include <algorithm>
#include <chrono>
#include <stdexcept>

using namespace std::chrono_literals;

namespace SelfTest {

namespace {

const QString internalRoot = QStringLiteral("/storage/emulated/0");
const QString scratch = QStringLiteral("/storage/emulated/0/TessarySelfTest");

// The local working folder; removed when the test ends, however it ends.
class LocalFolder
{
public:
    LocalFolder()
        : m_path(QDir::tempPath() + QStringLiteral("/TessarySelfTest-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper())
    {
    }
    ~LocalFolder() { QDir(m_path).removeRecursively(); }
    LocalFolder(const LocalFolder &) = delete;
    LocalFolder &operator=(const LocalFolder &) = delete;

    QString path(const QString &name = {}) const { return name.isEmpty() ? m_path : m_path + QLatin1Char('/') + name; }

private:
    QString m_path;
};

void makeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        throw std::runtime_error(QStringLiteral("Couldn't create %1").arg(path).toStdString());
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        throw std::runtime_error(QStringLiteral("Couldn't write %1: %2").arg(path, file.errorString()).toStdString());
}

QByteArray readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool hasEntryNamed(const QList<FileEntry> &entries, const QString &name)
{
    return std::any_of(entries.cbegin(), entries.cend(), [&](const FileEntry &e) { return e.name == name; });
}

// One `adb push` or `adb pull`; a non-zero status is an error carrying adb's last
// meaningful output line and its error output.
QCoro::Task<> copy(QString verb, QString serial, QString source, QString destination)
{
    const QStringList args{QStringLiteral("-s"), serial, verb, source, destination};
    const ProcessResult result = co_await ADB::shared().run(args);
    if (result.status != 0) {
        QString text = ADB::lastMeaningfulLine(result.output);
        const QString error = result.error.trimmed();
        if (!error.isEmpty())
            text += QLatin1Char(' ') + error;
        throw ADBError::failed(text);
    }
}

QCoro::Task<> cancelLater(CancelTokenPtr token)
{
    co_await QCoro::sleepFor(700ms);
    token->cancel();
}

QString volumesText(const QList<StorageVolume> &volumes)
{
    QStringList texts;
    for (const StorageVolume &volume : volumes) {
        QString text = volume.name + QLatin1Char('=') + volume.path + QLatin1Char(' ');
        if (volume.total > 0)
            text += formatByteCount(volume.free) + QStringLiteral(" free");
        texts << text;
    }
    return texts.join(QStringLiteral(" | "));
}

QCoro::Task<> scratchTests(CheckLog &log, QString serial, const LocalFolder &local)
{
    ADB &adb = ADB::shared();

    makeFolder(local.path());
    co_await adb.makeDirectory(serial, scratch);

    const QString fileName = QStringLiteral("it's a test file \u00E9.txt");
    const QByteArray text = QByteArrayLiteral("hello tessary");
    const QString localFile = local.path(fileName);
    writeText(localFile, text);
    co_await copy(QStringLiteral("push"), serial, localFile, scratch + QLatin1Char('/'));
    QSet<QString> names = co_await adb.existingNames(serial, scratch);
    QStringList sorted = names.values();
    std::sort(sorted.begin(), sorted.end());
    log.check(QStringLiteral("push file with apostrophe/spaces/unicode"), names.contains(fileName), sorted.join(QStringLiteral(", ")));

    const QList<FileEntry> listed = co_await adb.list(serial, scratch, true);
    log.check(QStringLiteral("list parses odd filename"),
              std::any_of(listed.cbegin(), listed.cend(),
                          [&](const FileEntry &e) { return e.name == fileName && e.size == text.size(); }));

    const QString forbidden = QStringLiteral("Report: final?.pdf");
    const QString safe = QStringLiteral("Report_ final_.pdf");
    log.check(QStringLiteral("androidSafeName"), androidSafeName(forbidden) == safe);

    writeText(local.path(forbidden), QByteArrayLiteral("report"));
    co_await copy(QStringLiteral("push"), serial, local.path(forbidden), scratch + QLatin1Char('/') + androidSafeName(forbidden));
    names = co_await adb.existingNames(serial, scratch);
    log.check(QStringLiteral("push file whose Mac name Android forbids (auto-renamed)"), names.contains(safe));

    const QString folder = local.path(QStringLiteral("My Folder"));
    makeFolder(folder + QStringLiteral("/sub dir"));
    writeText(folder + QStringLiteral("/a.txt"), QByteArrayLiteral("a"));
    writeText(folder + QStringLiteral("/sub dir/b.txt"), QByteArrayLiteral("b"));
    co_await copy(QStringLiteral("push"), serial, folder, scratch + QLatin1Char('/'));
    const QList<FileEntry> nested = co_await adb.list(serial, scratch + QStringLiteral("/My Folder/sub dir"), false);
    log.check(QStringLiteral("push nested folder"), hasEntryNamed(nested, QStringLiteral("b.txt")));

    co_await copy(QStringLiteral("push"), serial, localFile, scratch + QStringLiteral("/it's a test file \u00E9 2.txt"));
    co_await copy(QStringLiteral("push"), serial, folder, scratch + QStringLiteral("/My Folder 2"));
    names = co_await adb.existingNames(serial, scratch);
    log.check(QStringLiteral("keep-both exact names (file)"), names.contains(QStringLiteral("it's a test file \u00E9 2.txt")));
    const QList<FileEntry> second = co_await adb.list(serial, scratch + QStringLiteral("/My Folder 2"), false);
    log.check(QStringLiteral("keep-both exact names (folder contents not nested)"),
              hasEntryNamed(second, QStringLiteral("a.txt")) && !hasEntryNamed(second, QStringLiteral("My Folder")));

    log.check(QStringLiteral("unique name generator"),
              uniqueName(QStringLiteral("a.txt"), {QStringLiteral("a.txt"), QStringLiteral("a 2.txt")}) == QStringLiteral("a 3.txt")
                  && uniqueName(QStringLiteral("Folder"), {QStringLiteral("Folder")}) == QStringLiteral("Folder 2"));

    const QString back = local.path(QStringLiteral("back"));
    makeFolder(back);
    co_await copy(QStringLiteral("pull"), serial, scratch + QStringLiteral("/My Folder"), back + QLatin1Char('/'));
    log.check(QStringLiteral("pull folder round-trip"), readText(back + QStringLiteral("/My Folder/sub dir/b.txt")) == "b");

    const QString renamedCopy = local.path(QStringLiteral("renamed copy.txt"));
    co_await copy(QStringLiteral("pull"), serial, scratch + QLatin1Char('/') + fileName, renamedCopy);
    log.check(QStringLiteral("pull to exact local name"), readText(renamedCopy) == text);

    co_await adb.rename(serial, scratch + QStringLiteral("/My Folder 2"), scratch + QStringLiteral("/Renamed Folder"));
    names = co_await adb.existingNames(serial, scratch);
    log.check(QStringLiteral("rename on phone"),
              names.contains(QStringLiteral("Renamed Folder")) && !names.contains(QStringLiteral("My Folder 2")));

    const QStringList renamed{scratch + QStringLiteral("/Renamed Folder")};
    co_await adb.deletePaths(serial, renamed);
    names = co_await adb.existingNames(serial, scratch);
    log.check(QStringLiteral("delete on phone"), !names.contains(QStringLiteral("Renamed Folder")));

    // 400 MiB of zeros, stored sparse so it costs no disk space.
    const QString big = local.path(QStringLiteral("big.bin"));
    QFile bigFile(big);
    if (!bigFile.open(QIODevice::WriteOnly) || !bigFile.resize(419430400))
        throw std::runtime_error(QStringLiteral("Couldn't create %1: %2").arg(big, bigFile.errorString()).toStdString());
    bigFile.close();
    const auto token = std::make_shared<CancelToken>();
    QElapsedTimer clock;
    clock.start();
    QCoro::Task<> canceller = cancelLater(token);
    const QStringList bigPush{QStringLiteral("-s"), serial, QStringLiteral("push"), big, scratch + QLatin1Char('/')};
    try {
        co_await adb.run(bigPush, token);
    } catch (const std::exception &) {
        // However the push ended, what counts is how soon it stopped.
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    log.check(QStringLiteral("cancel stops a running transfer"), token->isCancelled() && elapsed < 8.0,
              QString::asprintf("stopped after %.1fs", elapsed));
    co_await canceller;
}

}

QCoro::Task<int> run()
{
    CheckLog log;
    ADB &adb = ADB::shared();

    if (!adb.executable()) {
        log.print(QStringLiteral("FAIL adb not found"));
        co_return 1;
    }

    std::optional<AndroidDevice> device;
    try {
        const QList<AndroidDevice> devices = co_await adb.listDevices();
        const auto ready = std::find_if(devices.cbegin(), devices.cend(),
                                        [](const AndroidDevice &d) { return d.state == QStringLiteral("device"); });
        if (ready != devices.cend())
            device = *ready;
    } catch (const std::exception &) {
        // Reported below like an empty list.
    }
    if (!device) {
        log.print(QStringLiteral("FAIL no ready device"));
        co_return 1;
    }
    const QString serial = device->serial;
    log.print(QStringLiteral("Device: ") + device->displayName());

    const QList<StorageVolume> volumes = co_await adb.storageVolumes(serial);
    log.check(QStringLiteral("storage volumes found"), !volumes.isEmpty(), volumesText(volumes));
    log.check(QStringLiteral("internal storage listed first"), !volumes.isEmpty() && volumes.first().isInternal);

    const PhoneInfo info = co_await adb.phoneInfo(serial);
    log.check(QStringLiteral("phone info"), !info.model.isEmpty() && info.batteryLevel.has_value(),
              info.manufacturer + QLatin1Char(' ') + info.model + QStringLiteral(", Android ") + info.androidVersion
                  + QStringLiteral(", battery ") + QString::number(info.batteryLevel.value_or(-1)) + QLatin1Char('%'));

    try {
        const QByteArray png = co_await adb.screenshot(serial);
        log.check(QStringLiteral("screenshot is PNG"), png.startsWith(QByteArrayLiteral("\x89\x50\x4E\x47")),
                  QString::number(png.size()) + QStringLiteral(" bytes"));
    } catch (const std::exception &) {
        log.check(QStringLiteral("screenshot (phone screen may be locked)"), false);
    }

    try {
        const QList<FileEntry> root = co_await adb.list(serial, internalRoot, false);
        log.check(QStringLiteral("list internal storage root"), !root.isEmpty(),
                  QString::number(root.size()) + QStringLiteral(" items"));
    } catch (const std::exception &) {
        log.check(QStringLiteral("list internal storage root"), false);
    }

    const QList<FileEntry> camera = co_await adb.allFiles(serial, internalRoot + QStringLiteral("/DCIM"));
    log.print(QStringLiteral("INFO DCIM files found: ") + QString::number(camera.size()));

    const LocalFolder local;
    try {
        co_await scratchTests(log, serial, local);
    } catch (const std::exception &error) {
        // adb's message ends with a line break; the report keeps one line per check.
        log.check(QStringLiteral("scratch tests"), false, QString::fromUtf8(error.what()).trimmed());
    }

    const QStringList scratchOnly{scratch};
    try {
        co_await adb.deletePaths(serial, scratchOnly);
    } catch (const std::exception &) {
        // The check below reports a folder that is still there.
    }
    const QSet<QString> rootNames = co_await adb.existingNames(serial, internalRoot);
    log.check(QStringLiteral("cleanup scratch folder"), !rootNames.contains(QStringLiteral("TessarySelfTest")));

    if (log.failures() == 0)
        log.print(QStringLiteral("\nALL TESTS PASSED"));
    else
        log.print(QLatin1Char('\n') + QString::number(log.failures()) + QStringLiteral(" TEST(S) FAILED"));
    co_return log.failures() == 0 ? 0 : 1;
}

}
