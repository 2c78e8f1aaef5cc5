#include "SystemImage.h"

#include "ScreenImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <climits>
#include <unistd.h>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return file.setPermissions(permissions);
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString sdkLevel(const QString &release)
{
    static const QMap<QString, QString> levels{
        {QStringLiteral("9"), QStringLiteral("28")},  {QStringLiteral("10"), QStringLiteral("29")},
        {QStringLiteral("11"), QStringLiteral("30")}, {QStringLiteral("12"), QStringLiteral("31")},
        {QStringLiteral("13"), QStringLiteral("33")}, {QStringLiteral("14"), QStringLiteral("34")},
        {QStringLiteral("15"), QStringLiteral("35")}};
    return levels.value(release, QStringLiteral("34"));
}

const QFileDevice::Permissions Executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner
    | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
    | QFileDevice::ExeOther;
const QFileDevice::Permissions Readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner
    | QFileDevice::ReadGroup | QFileDevice::ReadOther;

}

QByteArray propertiesText(const EmulatorOptions &options)
{
    const QList<std::pair<QString, QString>> properties{
        {QStringLiteral("ro.build.version.release"), options.androidVersion},
        {QStringLiteral("ro.build.version.sdk"), sdkLevel(options.androidVersion)},
        {QStringLiteral("ro.product.brand"), options.manufacturer},
        {QStringLiteral("ro.product.device"), QStringLiteral("emu")},
        {QStringLiteral("ro.product.manufacturer"), options.manufacturer},
        {QStringLiteral("ro.product.model"), options.model},
        {QStringLiteral("ro.product.name"), QStringLiteral("emuphone")},
    };
    QByteArray text;
    for (const auto &[name, value] : properties)
        text += QStringLiteral("[%1]: [%2]\n").arg(name, value).toUtf8();
    return text;
}

QByteArray batteryText(const EmulatorOptions &options)
{
    const bool plugged = options.batteryStatus == 2 || options.batteryStatus == 5;
    return QStringLiteral("Current Battery Service state:\n"
                          "  AC powered: false\n"
                          "  USB powered: %1\n"
                          "  Wireless powered: false\n"
                          "  Max charging current: 500000\n"
                          "  Max charging voltage: 5000000\n"
                          "  Charge counter: 2500000\n"
                          "  status: %2\n"
                          "  health: 2\n"
                          "  present: true\n"
                          "  level: %3\n"
                          "  scale: 100\n"
                          "  voltage: 4180\n"
                          "  temperature: %4\n"
                          "  technology: Li-ion\n")
        .arg(plugged ? QStringLiteral("true") : QStringLiteral("false"))
        .arg(options.batteryStatus)
        .arg(options.batteryLevel)
        .arg(options.temperatureTenths)
        .toUtf8();
}

bool findUserland(QString &toybox, QString &mksh, QString &error)
{
    toybox = QStandardPaths::findExecutable(QStringLiteral("toybox"));
    mksh = QStandardPaths::findExecutable(QStringLiteral("mksh"));
    if (toybox.isEmpty() || mksh.isEmpty()) {
        error = QStringLiteral("toybox and mksh are needed (Debian packages toybox, mksh)");
        return false;
    }
    return true;
}

bool buildSystemImage(const EmulatorOptions &options, const QString &imageRoot, QStringList &libraryFolders,
                      QString &error)
{
    QDir root(imageRoot);
    QStringList folders{QStringLiteral("system/bin"), QStringLiteral("system/etc"), QStringLiteral("etc"),
                        QStringLiteral("dev"), QStringLiteral("proc"), QStringLiteral("storage/emulated/0"),
                        QStringLiteral("storage/self"), QStringLiteral("data/local/tmp"),
                        QStringLiteral("data/app"), QStringLiteral("mnt")};
    for (const QString &card : options.cards)
        folders << QStringLiteral("storage/") + card;
    for (const QString &folder : folders) {
        if (!root.mkpath(folder)) {
            error = QStringLiteral("cannot create %1").arg(root.filePath(folder));
            return false;
        }
    }
    QFile::link(QStringLiteral("/storage/emulated/0"), root.filePath(QStringLiteral("storage/self/primary")));
    QFile::link(QStringLiteral("/storage/self/primary"), root.filePath(QStringLiteral("sdcard")));

    QString toybox, mksh;
    if (!findUserland(toybox, mksh, error))
        return false;
    const QString bin = root.filePath(QStringLiteral("system/bin"));
    if (!QFile::copy(toybox, bin + QStringLiteral("/toybox")) || !QFile::copy(mksh, bin + QStringLiteral("/sh"))) {
        error = QStringLiteral("cannot copy toybox and mksh into %1").arg(bin);
        return false;
    }
    for (const QString &applet : run(toybox, {}).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        QFile::link(QStringLiteral("toybox"), bin + QLatin1Char('/') + applet);

    // The libraries, and the C.UTF-8 locale toybox needs to print names as they are.
    for (const QString &folder : {QStringLiteral("/lib"), QStringLiteral("/lib32"), QStringLiteral("/lib64"),
                                  QStringLiteral("/usr/lib"), QStringLiteral("/usr/lib32"), QStringLiteral("/usr/lib64")}) {
        const QFileInfo host(folder);
        if (host.isSymLink()) {
            // The link as written ("usr/lib"): it stays inside the image.
            char target[PATH_MAX];
            const ssize_t length = ::readlink(QFile::encodeName(folder).constData(), target, sizeof target - 1);
            if (length <= 0 || !root.mkpath(QFileInfo(imageRoot + folder).path())
                || !QFile::link(QFile::decodeName(QByteArray(target, length)), imageRoot + folder)) {
                error = QStringLiteral("cannot copy the link %1 into the system image").arg(folder);
                return false;
            }
        } else if (host.isDir()) {
            if (!root.mkpath(folder.mid(1))) {
                error = QStringLiteral("cannot create %1 in the system image").arg(folder);
                return false;
            }
            libraryFolders << folder;
        }
    }

    for (const QString &command : {QStringLiteral("getprop"), QStringLiteral("dumpsys"), QStringLiteral("screencap"),
                                  QStringLiteral("cmd"), QStringLiteral("pm")}) {
        QFile script(QStringLiteral(":/system/") + command);
        if (!script.open(QIODevice::ReadOnly)
            || !writeFile(bin + QLatin1Char('/') + command, script.readAll(), Executable)) {
            error = QStringLiteral("cannot install %1").arg(command);
            return false;
        }
    }

    const QString etc = root.filePath(QStringLiteral("system/etc"));
    bool written = writeFile(etc + QStringLiteral("/prop"), propertiesText(options), Readable)
        && writeFile(etc + QStringLiteral("/battery"), batteryText(options), Readable)
        // Read by interactive shells (ENV): the phone's prompt, "emu:/sdcard # ".
        && writeFile(etc + QStringLiteral("/mkshrc"), "PS1='${HOSTNAME:-emu}:${PWD:-?} # '\n", Readable)
        && writeFile(root.filePath(QStringLiteral("etc/passwd")),
                     "root:x:0:0:root:/:/system/bin/sh\n"
                     "system:x:1000:1000::/:/system/bin/sh\n"
                     "media_rw:x:1023:1023::/:/system/bin/sh\n"
                     "shell:x:2000:2000::/:/system/bin/sh\n"
                     "u0_a123:x:10123:10123::/:/system/bin/sh\n",
                     Readable)
        && writeFile(root.filePath(QStringLiteral("etc/group")),
                     "root:x:0:\nsystem:x:1000:\nsdcard_rw:x:1015:\nmedia_rw:x:1023:\nshell:x:2000:\n"
                     "everybody:x:9997:\nu0_a123:x:10123:\n",
                     Readable);
    if (written && !options.locked)
        written = writeFile(etc + QStringLiteral("/screen.png"), screenPng(360, 780), Readable);
    if (!written) {
        error = QStringLiteral("cannot write the system files in %1").arg(etc);
        return false;
    }
    return true;
}
