#include "ModelTests.h"
#include "Patience.h"

#include "PhoneFixture.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/TypedName.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString download = QStringLiteral("/storage/emulated/0/Download");

QStringList names(const QList<FileEntry> &rows)
{
    QStringList result;
    for (const FileEntry &row : rows)
        result.append(row.name);
    return result;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

// Naming items on the phone: a typed name stays inside its folder, and neither a rename nor
// a new folder ever takes the place of what is already there.
class PhoneNamesTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void namesThatLeaveTheFolderAreRefused_data();
    void namesThatLeaveTheFolderAreRefused();
    void renameOntoAnExistingNameIsRefused_data();
    void renameOntoAnExistingNameIsRefused();
    void newFolderWithAnExistingNameIsRefused_data();
    void newFolderWithAnExistingNameIsRefused();

private:
    // A phone whose Download folder holds `files` (name -> content) and `folders`, and the
    // model showing that folder.
    void showDownload(const QMap<QString, QByteArray> &files, const QStringList &folders);
    QString host(const QString &phonePath) const { return m_fixture->hostPath(m_serial, phonePath); }
    // Waits until a command's reload has shown the phone's folder again.
    void waitForReloadAfter(const std::function<void()> &command);

    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    QString m_serial;
};

void PhoneNamesTest::init()
{
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
    m_serial = m_fixture->addPhone();
    QVERIFY2(!m_serial.isEmpty(), qPrintable(m_fixture->errorString()));
}

void PhoneNamesTest::cleanup()
{
    m_model.reset();
    m_fixture.reset();
}

void PhoneNamesTest::showDownload(const QMap<QString, QByteArray> &files, const QStringList &folders)
{
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        QVERIFY(writeFile(host(download + QLatin1Char('/') + file.key()), file.value()));
    for (const QString &folder : folders)
        QVERIFY(QDir().mkpath(host(download + QLatin1Char('/') + folder)));
    m_model = std::make_unique<AppModel>();
    QTRY_COMPARE_WITH_TIMEOUT(m_model->readyDevice().has_value(), true, kPatienceMs);
    m_model->goAndroid(download);
    QStringList expected = folders;
    for (const QString &file : files.keys())
        expected.append(file.section(QLatin1Char('/'), 0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->androidLoading() && m_model->androidPath() == download
                                 && [&] {
                                        const QStringList shown = names(m_model->androidItems());
                                        return std::all_of(expected.cbegin(), expected.cend(),
                                                           [&](const QString &n) { return shown.contains(n); });
                                    }(),
                             kPatienceMs);
}

void PhoneNamesTest::waitForReloadAfter(const std::function<void()> &command)
{
    QSignalSpy loading(m_model.get(), &AppModel::androidLoadingChanged);
    command();
    QTRY_VERIFY_WITH_TIMEOUT(!loading.isEmpty() && !m_model->androidLoading(), kPatienceMs);
}

void PhoneNamesTest::namesThatLeaveTheFolderAreRefused_data()
{
    QTest::addColumn<bool>("rename"); // else a new folder
    QTest::addColumn<QString>("name");
    for (const bool rename : {false, true}) {
        const char *operation = rename ? "rename" : "new folder";
        QTest::addRow("%s: absolute", operation) << rename << "/data/local/tmp/x";
        QTest::addRow("%s: into a subfolder", operation) << rename << "Sub/x";
        QTest::addRow("%s: up", operation) << rename << "../x";
        QTest::addRow("%s: dot", operation) << rename << ".";
        QTest::addRow("%s: dot dot", operation) << rename << "..";
    }
}

void PhoneNamesTest::namesThatLeaveTheFolderAreRefused()
{
    QFETCH(bool, rename);
    QFETCH(QString, name);
    showDownload({{"a.txt", "a"}}, {"Sub"});
    if (rename)
        m_model->renameAndroid(download + QStringLiteral("/a.txt"), name);
    else
        m_model->newAndroidFolder(name);

    // Refused at once: nothing is sent to the phone.
    QCOMPARE(m_model->message(), typedNameRefusal(name));
    QVERIFY(m_model->message().has_value());
    QCOMPARE(readFile(host(download + QStringLiteral("/a.txt"))), QByteArray("a"));
    QVERIFY(QDir(host(download + QStringLiteral("/Sub"))).isEmpty());
    QVERIFY(!QFileInfo::exists(host(QStringLiteral("/data/local/tmp/x"))));
    QVERIFY(!QFileInfo::exists(host(QStringLiteral("/storage/emulated/0/x"))));
    QVERIFY(!QFileInfo::exists(host(download + QStringLiteral("/Sub/x"))));
}

void PhoneNamesTest::renameOntoAnExistingNameIsRefused_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("file onto a file") << "readme 3.txt" << "readme.txt";
    QTest::newRow("folder onto a folder") << "Movies" << "Music";
    QTest::newRow("file onto a folder") << "readme 3.txt" << "Music";
    QTest::newRow("folder onto a file") << "Movies" << "readme.txt";
    QTest::newRow("apostrophes") << "it's 3.txt" << "it's.txt";
}

void PhoneNamesTest::renameOntoAnExistingNameIsRefused()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    const QMap<QString, QByteArray> contents{
        {"readme.txt", "the old readme"}, {"readme 3.txt", "the third"}, {"it's.txt", "first"},
        {"it's 3.txt", "third"},          {"Movies/film.mkv", "film"},   {"Music/song.mp3", "song"}};
    showDownload(contents, {});

    waitForReloadAfter([&] { m_model->renameAndroid(download + QLatin1Char('/') + from, to); });
    QCOMPARE(m_model->message(),
             QStringLiteral("Couldn't rename \u201C") + from + QStringLiteral("\u201D: File exists."));
    // Both items are as they were: nothing replaced, nothing moved into the other.
    for (auto item = contents.cbegin(); item != contents.cend(); ++item)
        QCOMPARE(readFile(host(download + QLatin1Char('/') + item.key())), item.value());
    QVERIFY(!QFileInfo::exists(host(download + QStringLiteral("/Music/Movies"))));
    QVERIFY(!QFileInfo::exists(host(download + QStringLiteral("/Music/readme 3.txt"))));
    QVERIFY(names(m_model->androidItems()).contains(from));
    QVERIFY(names(m_model->androidItems()).contains(to));

    // A free name is still taken as asked.
    m_model->setMessage(std::nullopt);
    waitForReloadAfter([&] { m_model->renameAndroid(download + QLatin1Char('/') + from, QStringLiteral("fresh name")); });
    QCOMPARE(m_model->message(), std::nullopt);
    const bool folder = from == QLatin1String("Movies");
    QCOMPARE(readFile(host(download + QStringLiteral("/fresh name") + (folder ? "/film.mkv" : ""))),
             contents.value(folder ? QStringLiteral("Movies/film.mkv") : from));
    QVERIFY(!QFileInfo::exists(host(download + QLatin1Char('/') + from)));
}

void PhoneNamesTest::newFolderWithAnExistingNameIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("a folder") << "Music";
    QTest::newRow("a file") << "notes.txt";
    QTest::newRow("apostrophe") << "it's mine";
}

void PhoneNamesTest::newFolderWithAnExistingNameIsRefused()
{
    QFETCH(QString, name);
    showDownload({{"notes.txt", "notes"}, {"Music/song.mp3", "song"}, {"it's mine/x", "x"}}, {});

    waitForReloadAfter([&] { m_model->newAndroidFolder(name); });
    QCOMPARE(m_model->message(),
             QStringLiteral("Couldn't create \u201C") + name + QStringLiteral("\u201D: File exists."));
    QCOMPARE(readFile(host(download + QStringLiteral("/notes.txt"))), QByteArray("notes"));
    QCOMPARE(readFile(host(download + QStringLiteral("/Music/song.mp3"))), QByteArray("song"));
    QCOMPARE(readFile(host(download + QStringLiteral("/it's mine/x"))), QByteArray("x"));

    // A new name is made.
    m_model->setMessage(std::nullopt);
    waitForReloadAfter([&] { m_model->newAndroidFolder(name + QStringLiteral(" 2")); });
    QCOMPARE(m_model->message(), std::nullopt);
    QVERIFY(QFileInfo(host(download + QLatin1Char('/') + name + QStringLiteral(" 2"))).isDir());
    QVERIFY(names(m_model->androidItems()).contains(name + QStringLiteral(" 2")));
}

int runPhoneNamesTests(int argc, char **argv)
{
    PhoneNamesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhoneNamesTest.moc"
