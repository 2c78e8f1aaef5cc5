// What a system gets when Tessary is installed: `cmake --install` of the build folder into a
// scratch prefix holds exactly the package's files and passes the desktop's validators, the
// version is the same everywhere it is written, and `cpack -G DEB` makes a package lintian
// finds no error in.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kWaitMs = 600000;
const QString kAppId = QStringLiteral("com.quorvane.Tessary");

struct Run
{
    int status = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(kWaitMs)) {
        process.kill();
        process.waitForFinished();
        result.output = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return result;
    }
    result.output = QString::fromUtf8(process.readAll());
    if (process.exitStatus() == QProcess::NormalExit)
        result.status = process.exitCode();
    return result;
}

QString buildFolder()
{
    return qEnvironmentVariable("TESSARY_BUILD_DIR");
}

// Every file below `root`, relative to it and sorted.
QStringList filesBelow(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// What the package is made of, below its prefix.
QStringList packageFiles()
{
    QStringList files{
        QStringLiteral("bin/tessary"),
        QStringLiteral("share/applications/%1.desktop").arg(kAppId),
        QStringLiteral("share/doc/tessary/changelog.gz"),
        QStringLiteral("share/doc/tessary/copyright"),
        QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId),
        QStringLiteral("share/man/man1/tessary.1.gz"),
        QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId),
    };
    files.sort();
    return files;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString gunzipped(const QString &path)
{
    return run(QStringLiteral("gzip"), {QStringLiteral("-dc"), path}).output;
}

// The value of `key` in the desktop entry's main group.
QString desktopValue(const QString &entry, const QString &key)
{
    const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(QRegularExpression::escape(key)),
                                  QRegularExpression::MultilineOption);
    return line.match(entry).captured(1);
}

} // namespace

class PackagingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void installHoldsExactlyThePackageFiles();
    void desktopEntryIsValid();
    void appStreamDataIsValid();
    void versionIsTheSameEverywhere();

    void debianPackage();

private:
    QTemporaryDir m_prefix;
};

void PackagingTest::initTestCase()
{
    QVERIFY2(QFileInfo::exists(buildFolder() + QStringLiteral("/cmake_install.cmake")),
             "TESSARY_BUILD_DIR must name a configured build folder");
    QVERIFY(m_prefix.isValid());
    const Run install = run(QStringLiteral(CMAKE_COMMAND),
                            {QStringLiteral("--install"), buildFolder(), QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(install.status == 0, qPrintable(install.output));
}

void PackagingTest::installHoldsExactlyThePackageFiles()
{
    QCOMPARE(filesBelow(m_prefix.path()), packageFiles());
    QDirIterator it(m_prefix.path(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        QVERIFY2(entry.permissions().testFlags(QFile::ReadOther | QFile::ReadGroup), qPrintable(entry.filePath()));
        QVERIFY2(!entry.permissions().testFlag(QFile::WriteOther), qPrintable(entry.filePath()));
    }

    const Run version = run(m_prefix.filePath(QStringLiteral("bin/tessary")), {QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.output, QStringLiteral("Tessary " TESSARY_VERSION "\n"));
}

void PackagingTest::desktopEntryIsValid()
{
    const QString path = m_prefix.filePath(QStringLiteral("share/applications/%1.desktop").arg(kAppId));
    const Run validate = run(QStringLiteral("desktop-file-validate"), {path});
    QVERIFY2(validate.status == 0 && validate.output.isEmpty(), qPrintable(validate.output));

    const QString entry = readText(path);
    QCOMPARE(desktopValue(entry, QStringLiteral("Exec")), QStringLiteral("tessary %F"));
    QVERIFY(QFileInfo(m_prefix.filePath(QStringLiteral("bin/tessary"))).isExecutable());
    QCOMPARE(desktopValue(entry, QStringLiteral("Icon")), kAppId);
    QVERIFY(QFileInfo::exists(m_prefix.filePath(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId))));
    QCOMPARE(desktopValue(entry, QStringLiteral("MimeType")), QStringLiteral("application/vnd.android.package-archive;"));
    // The class X11 gives the window: the application name.
    QCOMPARE(desktopValue(entry, QStringLiteral("StartupWMClass")), QStringLiteral("Tessary"));
    for (const QString &word : {QStringLiteral("Android"), QStringLiteral("phone"), QStringLiteral("adb"), QStringLiteral("transfer")})
        QVERIFY2(desktopValue(entry, QStringLiteral("Keywords")).split(QLatin1Char(';')).contains(word), qPrintable(word));
}

void PackagingTest::appStreamDataIsValid()
{
    const QString path = m_prefix.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId));
    const Run validate = run(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"), path});
    QVERIFY2(validate.status == 0, qPrintable(validate.output));

    const QString metainfo = readText(path);
    QVERIFY(metainfo.contains(QStringLiteral("<id>%1</id>").arg(kAppId)));
    QVERIFY(metainfo.contains(QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(kAppId)));
    QVERIFY(metainfo.contains(QStringLiteral("<content_rating type=\"oars-1.1\"")));
    // The screenshots are the README's.
    static const QRegularExpression image(QStringLiteral("<image>[^<]*/([^/<]+)</image>"));
    QStringList shown;
    for (const QRegularExpressionMatch &match : image.globalMatch(metainfo))
        shown << match.captured(1);
    QStringList readmeShots = QDir(QStringLiteral(TESSARY_SOURCE_DIR "/docs/screenshots")).entryList({QStringLiteral("*.png")});
    shown.sort();
    readmeShots.sort();
    QCOMPARE(shown, readmeShots);
}

void PackagingTest::versionIsTheSameEverywhere()
{
    static const QRegularExpression newestRelease(QStringLiteral("<release version=\"([^\"]+)\""));
    const QString metainfo = readText(m_prefix.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId)));
    QCOMPARE(newestRelease.match(metainfo).captured(1), QStringLiteral(TESSARY_VERSION));

    static const QRegularExpression newestEntry(QStringLiteral("^tessary \\(([^)]+)\\)"));
    const QString changelog = gunzipped(m_prefix.filePath(QStringLiteral("share/doc/tessary/changelog.gz")));
    QCOMPARE(newestEntry.match(changelog).captured(1), QStringLiteral(TESSARY_VERSION));

    const QString manual = gunzipped(m_prefix.filePath(QStringLiteral("share/man/man1/tessary.1.gz")));
    QVERIFY2(manual.startsWith(QStringLiteral(".TH TESSARY 1 ")) && manual.contains(QStringLiteral("\"Tessary " TESSARY_VERSION "\"")),
             qPrintable(manual.left(200)));
}

void PackagingTest::debianPackage()
{
    QTemporaryDir output;
    QVERIFY(output.isValid());
    const Run cpack = run(QStringLiteral(CPACK_COMMAND),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           buildFolder() + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), output.path()});
    QVERIFY2(cpack.status == 0, qPrintable(cpack.output));
    const QStringList packages = QDir(output.path()).entryList({QStringLiteral("*.deb")});
    QCOMPARE(packages.size(), 1);
    const QString deb = output.filePath(packages.first());
    const QString architecture = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).output.trimmed();
    QCOMPARE(packages.first(), QStringLiteral("tessary_" TESSARY_VERSION "_%1.deb").arg(architecture));

    auto field = [&deb](const QString &name) {
        return run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, name}).output.trimmed();
    };
    QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("tessary"));
    QCOMPARE(field(QStringLiteral("Version")), QStringLiteral(TESSARY_VERSION));
    QCOMPARE(field(QStringLiteral("Section")), QStringLiteral("utils"));
    QVERIFY(QRegularExpression(QStringLiteral("^[^<>]+ <[^@<>]+@[^@<>]+>$")).match(field(QStringLiteral("Maintainer"))).hasMatch());
    QVERIFY(!field(QStringLiteral("Description")).isEmpty());
    // adb by name; the libraries as dpkg-shlibdeps found them.
    const QStringList depends = field(QStringLiteral("Depends")).split(QStringLiteral(", "));
    QVERIFY2(depends.contains(QStringLiteral("adb")), qPrintable(depends.join(", ")));
    QVERIFY2(depends.filter(QRegularExpression(QStringLiteral("^libqt6core6 \\(>= "))).size() == 1, qPrintable(depends.join(", ")));
    QVERIFY2(depends.filter(QRegularExpression(QStringLiteral("^libc6 \\(>= "))).size() == 1, qPrintable(depends.join(", ")));

    // The same files as the install, under /usr.
    QTemporaryDir unpacked;
    QVERIFY(unpacked.isValid());
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("--extract"), deb, unpacked.path()}).status, 0);
    QStringList expected;
    for (const QString &file : packageFiles())
        expected << QStringLiteral("usr/") + file;
    QCOMPARE(filesBelow(unpacked.path()), expected);

    const Run lintian = run(QStringLiteral("lintian"), {QStringLiteral("--fail-on"), QStringLiteral("error"),
                                                        QStringLiteral("--tag-display-limit"), QStringLiteral("0"), deb});
    QVERIFY2(lintian.status == 0, qPrintable(lintian.output));
    QVERIFY2(!lintian.output.contains(QRegularExpression(QStringLiteral("^E: "), QRegularExpression::MultilineOption)),
             qPrintable(lintian.output));
}

QTEST_GUILESS_MAIN(PackagingTest)
#include "tst_packaging.moc"
