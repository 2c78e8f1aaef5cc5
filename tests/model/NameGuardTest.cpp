#include "ModelTests.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/TypedName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString containsSlash = QStringLiteral(" can't be used as a name, because a name can't contain \u201C/\u201D.");
const QString dots = QStringLiteral(" can't be used as a name: \u201C.\u201D and \u201C..\u201D stand for the folder "
                                    "itself and the folder above it.");

QString quoted(const QString &name)
{
    return QStringLiteral("\u201C") + name + QStringLiteral("\u201D");
}

QStringList entriesOf(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

// A typed name names one item inside its folder: the rule, and the computer pane, whose
// folder joins would take an absolute name as it is.
class NameGuardTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void refusal_data();
    void refusal();
    void computerRefusesNamesThatLeaveTheFolder_data();
    void computerRefusesNamesThatLeaveTheFolder();
};

void NameGuardTest::initTestCase()
{
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
}

void NameGuardTest::refusal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal"); // empty: the name can be used
    QTest::newRow("plain") << "Photos" << QString();
    QTest::newRow("spaces and dots") << " my .. file . txt " << QString();
    QTest::newRow("hidden") << ".config" << QString();
    QTest::newRow("three dots") << "..." << QString();
    QTest::newRow("backslash") << "a\\b" << QString();
    QTest::newRow("absolute") << "/tmp/x" << quoted("/tmp/x") + containsSlash;
    QTest::newRow("into a subfolder") << "a/b" << quoted("a/b") + containsSlash;
    QTest::newRow("up and over") << "../x" << quoted("../x") + containsSlash;
    QTest::newRow("trailing slash") << "Photos/" << quoted("Photos/") + containsSlash;
    QTest::newRow("the folder itself") << "." << quoted(".") + dots;
    QTest::newRow("the folder above") << ".." << quoted("..") + dots;
    QTest::newRow("empty") << "" << "A name can't be empty.";
}

void NameGuardTest::refusal()
{
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    const std::optional<QString> expected = refusal.isEmpty() ? std::nullopt : std::optional<QString>(refusal);
    QCOMPARE(typedNameRefusal(name), expected);
}

void NameGuardTest::computerRefusesNamesThatLeaveTheFolder_data()
{
    QTest::addColumn<bool>("rename"); // else a new folder
    QTest::addColumn<QString>("name"); // "%1" stands for a folder outside the pane's
    for (const bool rename : {false, true}) {
        const char *operation = rename ? "rename" : "new folder";
        QTest::addRow("%s: absolute", operation) << rename << "%1/x";
        QTest::addRow("%s: into a subfolder", operation) << rename << "Sub/x";
        QTest::addRow("%s: up", operation) << rename << "../x";
        QTest::addRow("%s: dot", operation) << rename << ".";
        QTest::addRow("%s: dot dot", operation) << rename << "..";
    }
}

void NameGuardTest::computerRefusesNamesThatLeaveTheFolder()
{
    QFETCH(bool, rename);
    QFETCH(QString, name);
    QTemporaryDir outside;
    QTemporaryDir root;
    QVERIFY(outside.isValid() && root.isValid());
    const QString pane = root.filePath(QStringLiteral("pane"));
    QVERIFY(QDir().mkpath(pane + QStringLiteral("/Sub")));
    QFile file(pane + QStringLiteral("/a.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    name.replace(QStringLiteral("%1"), outside.path());

    AppModel model;
    model.setMacPath(pane);
    model.reloadMac();
    if (rename)
        model.renameMac(pane + QStringLiteral("/a.txt"), name);
    else
        model.newMacFolder(name);

    QCOMPARE(model.message(), typedNameRefusal(name));
    QVERIFY(model.message().has_value());
    // Nothing moved or made, in the pane's folder, above it or elsewhere.
    QCOMPARE(entriesOf(pane), (QStringList{"Sub", "a.txt"}));
    QCOMPARE(entriesOf(pane + QStringLiteral("/Sub")), QStringList());
    QCOMPARE(entriesOf(root.path()), QStringList{"pane"});
    QCOMPARE(entriesOf(outside.path()), QStringList());
}

int runNameGuardTests(int argc, char **argv)
{
    NameGuardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "NameGuardTest.moc"
