// Names a phone's storage holds, through the model as the user meets them: each is listed as
// one row with its exact name, copied to the computer and back, renamed and deleted, and
// nothing else on the phone or the computer changes. A name the phone lists in a form that
// cannot be read back is shown, and no command reaches it or a file that looks like it.
#include "ModelSteps.h"
#include "Patience.h"
#include "PhoneFixture.h"
#include "PhoneTree.h"
#include "RecordingPlatform.h"
#include "TransferWaits.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/transfer/Naming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <memory>

namespace {

const QString storage = QStringLiteral("/storage/emulated/0");

// Creates a file by the raw bytes of its path, so that names which are not UTF-8 can be made.
bool writeRaw(const QByteArray &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    return writeRaw(QFile::encodeName(path), content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QStringList namesOf(const QList<FileEntry> &rows)
{
    QStringList names;
    for (const FileEntry &row : rows)
        names << row.name;
    names.sort();
    return names;
}

// A name of at most 255 bytes that differs from `name`.
QString renamedName(const QString &name)
{
    QString renamed = name + QStringLiteral("~");
    while (renamed.toUtf8().size() > 255)
        renamed.remove(renamed.size() - 2, 1);
    return renamed;
}

} // namespace

class HostileNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void roundTrip_data();
    void roundTrip();
    void unreadableNameIsNotUsed();

private:
    QString onPhone(const QString &phonePath) const { return m_phones->hostPath(m_serial, phonePath); }

    QTemporaryDir m_home;
    std::unique_ptr<RecordingPlatform> m_platform;
    std::unique_ptr<PhoneFixture> m_phones;
    QString m_serial;
    AppModel *m_model = nullptr;
    int m_folders = 0;
};

void HostileNamesTest::initTestCase()
{
    QString reason;
    if (!PhoneFixture::isSupported(&reason))
        QSKIP(qPrintable(QStringLiteral("emulated phones cannot run here: ") + reason));
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + "/.local/share").toUtf8());
    QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("Downloads")));
    m_platform = std::make_unique<RecordingPlatform>();
    m_phones = std::make_unique<PhoneFixture>();
    QVERIFY2(m_phones->start(), qPrintable(m_phones->errorString()));
    m_serial = m_phones->addPhone();
    QVERIFY2(!m_serial.isEmpty(), qPrintable(m_phones->errorString()));
    ADB::shared().setCandidatesForTesting({m_phones->adbPath()});
}

void HostileNamesTest::init()
{
    m_model = new AppModel;
    QVERIFY(usePhone(*m_model, m_serial));
}

void HostileNamesTest::cleanup()
{
    m_model->cancelAllTransfers();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), kPatienceMs);
    delete m_model;
    m_model = nullptr;
}

void HostileNamesTest::cleanupTestCase()
{
    m_phones.reset();
    m_platform.reset();
}

void HostileNamesTest::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    // Files a careless reading of the name would reach instead.
    QTest::addColumn<QStringList>("lookalikes");
    const auto row = [](const char *label, const QString &name, const QStringList &lookalikes = {}) {
        QTest::newRow(label) << name << lookalikes;
    };
    row("apostrophe", QStringLiteral("it's here.txt"), {QStringLiteral("it")});
    row("double quote", QStringLiteral("say \"hi\".txt"), {QStringLiteral("say hi.txt")});
    row("dollar", QStringLiteral("$HOME $(id).txt"), {QStringLiteral("HOME")});
    row("backtick", QStringLiteral("`id`.txt"), {QStringLiteral("id")});
    row("backslash", QStringLiteral("back\\slash.txt"), {QStringLiteral("backslash.txt")});
    row("semicolon", QStringLiteral("a;b.txt"), {QStringLiteral("a"), QStringLiteral("b.txt")});
    row("ampersand", QStringLiteral("a&b.txt"), {QStringLiteral("a")});
    row("vertical bar", QStringLiteral("a|b.txt"), {QStringLiteral("a")});
    row("asterisk", QStringLiteral("star*.txt"), {QStringLiteral("star1.txt")});
    row("leading dash", QStringLiteral("-rf"), {QStringLiteral("rf")});
    row("leading space", QStringLiteral(" leading.txt"), {QStringLiteral("leading.txt")});
    row("trailing space", QStringLiteral("trailing.txt "), {QStringLiteral("trailing.txt")});
    row("255 bytes of UTF-8", QString(85, QChar(0x65e5)), {QString(84, QChar(0x65e5))});
    row("emoji", QStringLiteral("😀 party 🎉.txt"));
    row("composed accent", QStringLiteral("caf\u00e9.txt"), {QStringLiteral("cafe\u0301.txt")});
    row("decomposed accent", QStringLiteral("cafe\u0301.txt"), {QStringLiteral("caf\u00e9.txt")});
    row("arrow", QStringLiteral("a -> b.txt"), {QStringLiteral("a")});
    row("listing line", QStringLiteral("-rw-r--r-- 1 root root 5 2024-05-01 13:45 fake.txt"),
        {QStringLiteral("fake.txt")});
    row("line break", QStringLiteral("two\nlines.txt"), {QStringLiteral("two"), QStringLiteral("lines.txt")});
    row("line break before a listing line",
        QStringLiteral("evil\n-rw-r--r-- 1 root root 5 2024-05-01 13:45 victim.txt"),
        {QStringLiteral("evil"), QStringLiteral("victim.txt")});
}

void HostileNamesTest::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QStringList, lookalikes);
    const QString folder = storage + QStringLiteral("/Hostile %1").arg(++m_folders);
    const QString back = folder + QStringLiteral(" back");
    const QByteArray content = "the file named " + name.toUtf8();
    QVERIFY(writeFile(onPhone(folder + QLatin1Char('/') + name), content));
    for (const QString &lookalike : std::as_const(lookalikes))
        QVERIFY(writeFile(onPhone(folder + QLatin1Char('/') + lookalike), "lookalike " + lookalike.toUtf8()));
    QVERIFY(QDir().mkpath(onPhone(back)));
    QTemporaryDir local(m_home.path() + QStringLiteral("/local-XXXXXX"));
    QVERIFY(local.isValid());
    const TreeState phoneBefore = readTree(m_phones->rootOf(m_serial));

    // Listed as one row with its exact name, beside its lookalikes.
    QStringList expectedNames = lookalikes;
    expectedNames << name;
    expectedNames.sort();
    QVERIFY2(showPhoneFolder(*m_model, folder, [&](const QList<FileEntry> &rows) { return namesOf(rows) == expectedNames; }),
             qPrintable(namesOf(m_model->androidItems()).join(QStringLiteral(" | "))));
    const std::optional<FileEntry> entry = onlyRow(m_model->androidItems(), name);
    QVERIFY(entry);
    QCOMPARE(entry->path, folder + QLatin1Char('/') + name);
    QCOMPARE(entry->size, qint64(content.size()));
    QVERIFY(!entry->isDirectory);

    // To the computer, under its own name.
    m_model->clearFinishedTransfers();
    m_model->enqueue({entry->path}, TransferJob::Kind::toMac, local.path(), false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    const std::optional<TransferJob> pulled = onlyJob(*m_model, name);
    QVERIFY(pulled);
    QVERIFY2(pulled->state.value() == TransferJob::State::Case::done, qPrintable(pulled->state.message()));
    QCOMPARE(QDir(local.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{name});
    QCOMPARE(readFile(local.filePath(name)), content);

    // Back to the phone: what the phone's storage refuses becomes "_".
    const QString pushedName = androidSafeName(name);
    m_model->clearFinishedTransfers();
    m_model->enqueue({local.filePath(name)}, TransferJob::Kind::toAndroid, back, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    const std::optional<TransferJob> pushed = onlyJob(*m_model, pushedName);
    QVERIFY(pushed);
    QVERIFY2(pushed->state.value() == TransferJob::State::Case::done, qPrintable(pushed->state.message()));
    QCOMPARE(readFile(onPhone(back + QLatin1Char('/') + pushedName)), content);

    // Renamed in place, then deleted.
    const QString renamed = renamedName(name);
    m_model->renameAndroid(entry->path, renamed);
    QVERIFY2(waitForPhoneRows(*m_model, [&](const QList<FileEntry> &rows) {
                 return onlyRow(rows, renamed) && !onlyRow(rows, name);
             }),
             qPrintable(m_model->message().value_or(namesOf(m_model->androidItems()).join(QStringLiteral(" | ")))));
    QCOMPARE(readFile(onPhone(folder + QLatin1Char('/') + renamed)), content);
    m_model->deleteAndroid({folder + QLatin1Char('/') + renamed});
    QVERIFY2(waitForPhoneRows(*m_model, [&](const QList<FileEntry> &rows) { return !onlyRow(rows, renamed); }),
             qPrintable(m_model->message().value_or(QString())));

    // The only changes on the phone: the file is gone from its folder and its copy came back.
    TreeState expected = phoneBefore;
    const QByteArray root = QFile::encodeName(m_phones->rootOf(m_serial));
    expected.remove(QFile::encodeName(onPhone(folder + QLatin1Char('/') + name)).mid(root.size()));
    const QByteArray copy = QFile::encodeName(onPhone(back + QLatin1Char('/') + pushedName)).mid(root.size());
    const TreeState phoneAfter = readTree(m_phones->rootOf(m_serial));
    expected.insert(copy, phoneAfter.value(copy));
    QVERIFY2(phoneAfter == expected, qPrintable(describeChanges(expected, phoneAfter)));
    QCOMPARE(QDir(local.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{name});
}

void HostileNamesTest::unreadableNameIsNotUsed()
{
    // The phone's file is named with a byte that is not UTF-8; beside it lies a file whose
    // name is what that byte reads as (U+FFFD), the one a command built from the row reaches.
    const QString folder = storage + QStringLiteral("/Unreadable");
    QVERIFY(QDir().mkpath(onPhone(folder)));
    const QByteArray hostFolder = QFile::encodeName(onPhone(folder));
    QVERIFY(writeRaw(hostFolder + "/inv\xff" "alid.txt", "not text"));
    // Removed here: the fixture's cleanup reads names as text and could not remove it.
    const auto removeUnreadable = qScopeGuard([&] { ::unlink(hostFolder + "/inv\xff" "alid.txt"); });
    QVERIFY(writeRaw(hostFolder + "/inv\xef\xbf\xbd" "alid.txt", "lookalike"));
    QVERIFY(writeFile(onPhone(folder + QStringLiteral("/plain.txt")), "plain"));
    QTemporaryDir local(m_home.path() + QStringLiteral("/local-XXXXXX"));
    QVERIFY(local.isValid());
    const TreeState phoneBefore = readTree(m_phones->rootOf(m_serial));

    // Both are listed, each as one row, shown with the replacement character; the plain
    // file beside them is listed as it is.
    const QString shown = QStringLiteral("inv\uFFFDalid.txt");
    QVERIFY(showPhoneFolder(*m_model, folder, [&](const QList<FileEntry> &rows) {
        return namesOf(rows) == QStringList{shown, shown, QStringLiteral("plain.txt")};
    }));
    const QString path = folder + QLatin1Char('/') + shown;

    m_model->clearFinishedTransfers();
    m_model->enqueue({path}, TransferJob::Kind::toMac, local.path(), false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    const std::optional<TransferJob> pulled = onlyJob(*m_model, shown);
    QVERIFY(pulled);
    QCOMPARE(pulled->state.value(), TransferJob::State::Case::failed);
    QVERIFY2(pulled->state.message().contains(QStringLiteral("could not be read exactly")),
             qPrintable(pulled->state.message()));

    for (const bool rename : {true, false}) {
        m_model->setMessage(std::nullopt);
        if (rename)
            m_model->renameAndroid(path, QStringLiteral("renamed.txt"));
        else
            m_model->deleteAndroid({path});
        QTRY_VERIFY_WITH_TIMEOUT(m_model->message().has_value(), kPatienceMs);
        QVERIFY2(m_model->message()->contains(QStringLiteral("could not be read exactly")), qPrintable(*m_model->message()));
    }

    const TreeState phoneAfter = readTree(m_phones->rootOf(m_serial));
    QVERIFY2(phoneAfter == phoneBefore, qPrintable(describeChanges(phoneBefore, phoneAfter)));
    QVERIFY(QDir(local.path()).isEmpty());
}

QTEST_GUILESS_MAIN(HostileNamesTest)
#include "tst_hostilenames.moc"
