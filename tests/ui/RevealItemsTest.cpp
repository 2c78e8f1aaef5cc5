// "Show in Finder" on several rows of the computer pane asks the file browser once, for all
// of them.
#include "UiTests.h"
#include "Patience.h"

#include "RecordingPlatform.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/FilePane.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

class RevealItemsTest : public QObject
{
    Q_OBJECT

private slots:
    void severalRowsAreShownInOneRequest();
};

void RevealItemsTest::severalRowsAreShownInOneRequest()
{
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath("Downloads"));
    const QByteArray previousHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
    const QStringList paths{home.filePath("Downloads/a.txt"), home.filePath("Downloads/b c.txt"),
                            home.filePath("Downloads/d.jpg")};
    for (const QString &path : paths) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    {
        RecordingPlatform platform;
        AppModel model;
        MainWindow window(&model);
        QTRY_COMPARE_WITH_TIMEOUT(window.macPane()->shownNames().size(), 3, kPatienceMs);
        std::unique_ptr<QMenu> menu(window.macPane()->buildContextMenu(paths));
        QAction *reveal = nullptr;
        for (QAction *action : menu->actions())
            if (action->text() == QLatin1String("Show in Finder"))
                reveal = action;
        QVERIFY(reveal);
        reveal->trigger();
        QCOMPARE(platform.fileBrowser->requests, QList<QStringList>{paths});
    }
    qputenv("HOME", previousHome);
}

int runRevealItemsTests(int argc, char **argv)
{
    RevealItemsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RevealItemsTest.moc"
