// Figures 3, 4 and 5: listings of the phone and the computer beside the bare tools.
#include "Bench.h"

#include "Content.h"
#include "Wait.h"

#include "PhoneFixture.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int crowdedCount = 100000;
constexpr int albumCount = 100;
constexpr int photosPerAlbum = 50;

void progress(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// The backup scan, for a model that has one: the seconds from prepareBackup until the plan
// is published, or nothing when the model does not scan for backups yet.
template<typename Model>
std::optional<double> timeBackupScan(Model &model, int expectedFiles)
{
    if constexpr (requires(Model &m) { m.prepareBackup(); }) {
        model.setBackupPlan(std::nullopt);
        model.setMessage(std::nullopt);
        QElapsedTimer timer;
        timer.start();
        model.prepareBackup();
        if (!waitUntil(model, [&] { return !model.scanningBackup() && (model.backupPlan() || model.message()); }, 300000))
            throw std::runtime_error("the backup scan did not finish");
        const double seconds = elapsedSeconds(timer);
        const qsizetype found = model.backupPlan() ? model.backupPlan()->files.size() : 0;
        if (found != expectedFiles)
            throw std::runtime_error(QStringLiteral("the backup scan found %1 files, not %2 (%3)")
                                         .arg(found).arg(expectedFiles).arg(model.message().value_or(QString()))
                                         .toStdString());
        model.setBackupPlan(std::nullopt);
        return seconds;
    } else {
        return std::nullopt;
    }
}

} // namespace

QString Bench::crowdedPhoneFolder()
{
    const QString folder = QStringLiteral("/storage/emulated/0/Bench/Crowded");
    if (!QFileInfo::exists(onPhone(folder))) {
        progress(QStringLiteral("writing 100,000 empty files on the phone"));
        writeFiles(onPhone(folder), int(shrunk(crowdedCount)), 0, QStringLiteral("Document "), QStringLiteral(".txt"));
    }
    return folder;
}

FigureRow Bench::listingFigure()
{
    const QString folder = crowdedPhoneFolder();
    QList<double> tessary, bare;
    for (int i = 0; i < m_options.runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QList<FileEntry> entries = QCoro::waitFor(ADB::shared().list(m_serial, folder, false));
        tessary.append(elapsedSeconds(timer));
        if (entries.size() != shrunk(crowdedCount))
            throw std::runtime_error(QStringLiteral("ADB::list gave %1 entries").arg(entries.size()).toStdString());
        bare.append(timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("shell"),
                             QStringLiteral("ls -lAL ") + folder}));
        progress(QStringLiteral("figure 3: run %1/%2: %3 (adb shell ls %4)").arg(i + 1).arg(m_options.runs)
                     .arg(secondsText(tessary.last()), secondsText(bare.last())));
    }
    return slowdownRow(QStringLiteral("3"), QStringLiteral("ADB::list of 100,000 entries vs adb shell ls -lAL"),
                       tessary, bare, 1.10);
}

FigureRow Bench::backupScanFigure()
{
    const QString figure = QStringLiteral("prepareBackup of 5,000 photos in 100 folders vs adb shell ls -lAL of each");
    const QString dcim = QStringLiteral("/storage/emulated/0/DCIM");
    const QString pictures = QStringLiteral("/storage/emulated/0/Pictures");
    QStringList folders{dcim, pictures};
    for (int album = 1; album <= albumCount; ++album)
        folders << QStringLiteral("%1/Album %2").arg(dcim).arg(album, 3, 10, QLatin1Char('0'));
    QDir().mkpath(onPhone(pictures));
    for (qsizetype i = 2; i < folders.size(); ++i)
        writeFiles(onPhone(folders.at(i)), photosPerAlbum, 1024, QStringLiteral("IMG_"), QStringLiteral(".jpg"));

    QList<double> tessary, bare;
    for (int i = 0; i < m_options.runs; ++i) {
        const std::optional<double> scan = timeBackupScan(*m_model, albumCount * photosPerAlbum);
        if (!scan) {
            removePath(onPhone(dcim));
            removePath(onPhone(pictures));
            return missingRow(QStringLiteral("4"), figure, QStringLiteral("pending: the model has no prepareBackup yet"));
        }
        tessary.append(*scan);
        double sum = 0;
        for (const QString &folder : std::as_const(folders))
            sum += timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("shell"), QStringLiteral("ls -lAL '%1'").arg(folder)});
        bare.append(sum);
        progress(QStringLiteral("figure 4: run %1/%2: %3 (sum of adb shell ls %4)").arg(i + 1).arg(m_options.runs)
                     .arg(secondsText(tessary.last()), secondsText(bare.last())));
    }
    removePath(onPhone(dcim));
    removePath(onPhone(pictures));
    return slowdownRow(QStringLiteral("4"), figure, tessary, bare, 1.2);
}

FigureRow Bench::computerPaneFigure()
{
    const QString folder = m_home.filePath(QStringLiteral("Crowded"));
    progress(QStringLiteral("figure 5: writing 100,000 empty files"));
    writeFiles(folder, int(shrunk(crowdedCount)), 0, QStringLiteral("Document "), QStringLiteral(".txt"));
    const QString home = m_model->macPath();

    QList<double> tessary, bare;
    for (int i = 0; i < m_options.runs; ++i) {
        // The pane starts elsewhere each time, so every reload fills it anew.
        m_model->setMacPath(home);
        m_model->reloadMac();
        spin(50);
        m_model->setMacPath(folder);
        QElapsedTimer timer;
        timer.start();
        m_model->reloadMac();
        tessary.append(elapsedSeconds(timer));
        if (m_model->macItems().size() != shrunk(crowdedCount))
            throw std::runtime_error("reloadMac did not list the folder");

        QProcess ls;
        ls.setStandardOutputFile(QProcess::nullDevice());
        timer.start();
        ls.start(QStringLiteral("ls"), {QStringLiteral("-l"), folder});
        if (!ls.waitForFinished(60000) || ls.exitCode() != 0)
            throw std::runtime_error("ls -l failed");
        bare.append(elapsedSeconds(timer));
        progress(QStringLiteral("figure 5: run %1/%2: %3 (ls -l %4)").arg(i + 1).arg(m_options.runs)
                     .arg(secondsText(tessary.last()), secondsText(bare.last())));
    }
    m_model->setMacPath(home);
    m_model->reloadMac();
    removePath(folder);
    return slowdownRow(QStringLiteral("5"), QStringLiteral("reloadMac of 100,000 entries (window attached) vs ls -l"),
                       tessary, bare, 1.5);
}
