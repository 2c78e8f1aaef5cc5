// Opens the window against emulated phones and a read-only disk image and saves PNGs of the
// views worth looking at. Run by scripts/screenshots under a virtual X server; needs root
// for the disk image.
#include "PhoneFixture.h"
#include "bridge/ADB.h"
#include "diagnostics/TestDiskImage.h"
#include "model/AppModel.h"
#include "ui/FilePane.h"
#include "ui/FileTableView.h"
#include "ui/Icons.h"
#include "ui/MainWindow.h"
#include "ui/Popover.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <QCoro/QCoroTask>

#include <cstdio>
#include <functional>

namespace {

bool waitUntil(const std::function<bool()> &done, int ms = 30000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

void settle(int ms = 600)
{
    waitUntil([] { return false; }, ms);
}

void writeFile(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QByteArray chunk(64 * 1024, 'x');
    for (qint64 left = size; left > 0; left -= chunk.size())
        file.write(chunk.constData(), qMin<qint64>(left, chunk.size()));
}

// The screen area of the window and whatever floats over it.
void shoot(QWidget *window, const QString &file, const QRect &extra = {})
{
    QRect area = window->frameGeometry();
    if (extra.isValid())
        area = area.united(extra);
    const QPixmap shot = window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const bool saved = shot.save(file);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(file));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Icons::installTheme();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    const QString downloads = home.filePath(QStringLiteral("Downloads"));
    writeFile(downloads + QStringLiteral("/holiday-photo.jpg"), 3'400'000);
    writeFile(downloads + QStringLiteral("/boarding-pass.pdf"), 182'000);
    writeFile(downloads + QStringLiteral("/notes.txt"), 4'200);
    writeFile(downloads + QStringLiteral("/app-release.apk"), 24'500'000);
    writeFile(downloads + QStringLiteral("/Invoices/2026-01.pdf"), 90'000);
    writeFile(downloads + QStringLiteral("/Screenshots/a.png"), 900'000);

    PhoneFixture fixture;
    if (!fixture.start()) {
        std::printf("FAILED adb server: %s\n", qPrintable(fixture.errorString()));
        return 1;
    }
    ADB::shared().setCandidatesForTesting({fixture.adbPath()});

    // A read-only drive, as a freshly plugged stick that cannot be written.
    TestDiskImage image;
    const bool haveDrive = QCoro::waitFor(image.create()).code == 0
        && QCoro::waitFor(image.attach(true)).code == 0;
    if (!haveDrive)
        std::printf("no read-only drive (needs root and exFAT): the drive shots are skipped\n");

    AppModel model;
    MainWindow window(&model);
    window.move(40, 30);
    window.show();
    waitUntil([&] { return window.isVisible() && (!haveDrive || !model.drives().isEmpty()); }, 15000);
    settle(1500);
    shoot(&window, out + QStringLiteral("/setup-guide.png"));

    PhoneOptions options;
    options.model = QStringLiteral("Pixel_7");
    options.manufacturer = QStringLiteral("Google");
    options.cards = {QStringLiteral("1A2B-3C4D")};
    options.throttleMBps = 1.5;
    options.batteryLevel = 76;
    options.temperatureTenths = 312;
    const QString serial = fixture.addPhone(options);
    if (serial.isEmpty()) {
        std::printf("FAILED phone: %s\n", qPrintable(fixture.errorString()));
        return 1;
    }
    auto phone = [&](const QString &path) { return fixture.hostPath(serial, path); };
    writeFile(phone(QStringLiteral("/storage/emulated/0/DCIM/Camera/PXL_20260301_101500.jpg")), 2'800'000);
    writeFile(phone(QStringLiteral("/storage/emulated/0/Download/notes.txt")), 4'200);
    writeFile(phone(QStringLiteral("/storage/emulated/0/Download/concert.mp4")), 48'000'000);
    writeFile(phone(QStringLiteral("/storage/emulated/0/Documents/cv.pdf")), 120'000);
    for (const QString &folder : {QStringLiteral("Music"), QStringLiteral("Movies"), QStringLiteral("Pictures")})
        QDir().mkpath(phone(QStringLiteral("/storage/emulated/0/") + folder));

    waitUntil([&] { return model.readyDevice().has_value() && !model.androidItems().isEmpty(); });
    model.goAndroid(QStringLiteral("/storage/emulated/0/Download"));
    waitUntil([&] { return model.androidItems().size() >= 2; });

    // The same name on both sides: the conflict question.
    model.enqueue({QStringLiteral("/storage/emulated/0/Download/notes.txt")}, TransferJob::Kind::toMac, downloads, false);
    waitUntil([&] { return window.prompts()->conflictAlert() && window.prompts()->conflictAlert()->isVisible(); });
    settle(800);
    shoot(&window, out + QStringLiteral("/conflict.png"), window.prompts()->conflictAlert()->frameGeometry());
    model.answerConflict(ConflictResolution::cancel);

    // The phone information popover, filled with what the phone reports.
    window.showInfo();
    model.setPhoneInfo(QCoro::waitFor(ADB::shared().phoneInfo(serial)));
    model.setStorages(QCoro::waitFor(ADB::shared().storageVolumes(serial)));
    settle(800);
    shoot(&window, out + QStringLiteral("/phone-info.png"), window.infoPopover()->frameGeometry());
    window.infoPopover()->hide();

    if (haveDrive) {
        model.openMac(image.mountPoint());
        waitUntil([&] { return model.macPath() == image.mountPoint(); });
        settle(800);
        shoot(&window, out + QStringLiteral("/drive-bar-read-only.png"));
        model.setMacPath(downloads);
        model.reloadMac();
    }


    // A finished copy, then a long pull that is still running.
    model.enqueue({downloads + QStringLiteral("/boarding-pass.pdf")}, TransferJob::Kind::toAndroid,
                  QStringLiteral("/storage/emulated/0/Download"), false);
    waitUntil([&] { return !model.transfers().isEmpty() && model.transfers().first().state == TransferJob::State::done(); });
    model.enqueue({QStringLiteral("/storage/emulated/0/Download/concert.mp4")}, TransferJob::Kind::toMac, downloads, false);
    waitUntil([&] {
        return !model.transfers().isEmpty() && model.transfers().first().state == TransferJob::State::running()
            && model.transfers().first().progress > 0.08 && !model.transfers().first().detail.isEmpty();
    }, 60000);
    model.setAndroidSelection({QStringLiteral("/storage/emulated/0/Download/notes.txt")});
    settle(800);
    shoot(&window, out + QStringLiteral("/browser-transfer.png"));
    model.cancelAllTransfers();
    waitUntil([&] { return !model.hasActiveTransfers(); });

    window.hide();
    QCoro::waitFor(image.cleanUp());
    return 0;
}
