// Names from the phone and the disk are shown as typed, wherever the window shows them: a
// name that looks like markup is not rendered as markup, and an "&" is not taken for a
// shortcut mark.
#include "UiTests.h"
#include "Patience.h"

#include "PhoneFixture.h"
#include "ShownText.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/transfer/TransferListModel.h"
#include "ui/DriveBar.h"
#include "ui/DriveCards.h"
#include "ui/FilePane.h"
#include "ui/MainWindow.h"
#include "ui/PhoneInfoView.h"
#include "ui/Popover.h"
#include "ui/PreviewWindow.h"
#include "ui/Prompts.h"
#include "ui/SetupGuideView.h"
#include "ui/StorageSwitcher.h"
#include "ui/TransfersView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

namespace {

constexpr int kPhoneWaitMs = 60000;
// A file name cannot hold "/", so the tag stays open: enough for Qt to guess markup.
const QString name = QStringLiteral("<b>Invoice & Co.pdf");

enum class Place {
    clashQuestion,
    notice,
    paneError,
    panePath,
    paneTitle,
    driveChip,
    driveCard,
    storageChip,
    transferRow,
    preview,
    phoneInfo,
};

} // namespace

Q_DECLARE_METATYPE(Place)

class PlainNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void namesShowAsTyped_data();
    void namesShowAsTyped();

private:
    void makeWindow();
    // Lets the drive scan that the model starts with publish its list, so that a list set
    // by the test is not replaced by it.
    void settleDriveScan();
    // Puts the name into a place of the window and gives the widget that shows it there.
    void showAt(Place place, QWidget *&shown);

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<PreviewWindow> m_preview;
    QByteArray m_previousHome;
};

void PlainNamesTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void PlainNamesTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
}

void PlainNamesTest::cleanup()
{
    QToolTip::hideText();
    m_preview.reset();
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

void PlainNamesTest::makeWindow()
{
    m_model = std::make_unique<AppModel>();
    m_window = std::make_unique<MainWindow>(m_model.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void PlainNamesTest::settleDriveScan()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void PlainNamesTest::namesShowAsTyped_data()
{
    QTest::addColumn<Place>("place");
    QTest::newRow("clash question") << Place::clashQuestion;
    QTest::newRow("notice") << Place::notice;
    QTest::newRow("pane error") << Place::paneError;
    QTest::newRow("pane path") << Place::panePath;
    QTest::newRow("pane title") << Place::paneTitle;
    QTest::newRow("drive chip") << Place::driveChip;
    QTest::newRow("drive card") << Place::driveCard;
    QTest::newRow("storage chip") << Place::storageChip;
    QTest::newRow("transfer row") << Place::transferRow;
    QTest::newRow("preview") << Place::preview;
    QTest::newRow("phone info") << Place::phoneInfo;
}

void PlainNamesTest::showAt(Place place, QWidget *&shown)
{
    switch (place) {
    case Place::clashQuestion:
        m_model->setConflict(ConflictPrompt{QUuid::createUuid(), {name}, false});
        shown = m_window->prompts()->conflictAlert();
        return;
    case Place::notice:
        m_model->setMessage(QStringLiteral("Couldn't rename “") + name + QStringLiteral("”: File exists."));
        shown = m_window->prompts()->messageAlert();
        return;
    case Place::paneError:
        m_model->setMacError(QStringLiteral("Couldn't open “") + name + QStringLiteral("”: Permission denied."));
        shown = m_window->macPane();
        return;
    case Place::panePath:
        m_model->setMacPath(QStringLiteral("/srv/") + name);
        shown = m_window->macPane();
        return;
    case Place::paneTitle:
        m_window->phonePane()->setTitle(name);
        shown = m_window->phonePane();
        return;
    case Place::driveChip:
    case Place::driveCard: {
        settleDriveScan();
        DriveInfo drive;
        drive.url = QUrl::fromLocalFile(QStringLiteral("/media/") + name);
        drive.name = name;
        drive.fsType = "exfat";
        drive.format = "ExFAT";
        drive.total = 2'000'000'000;
        drive.free = 1'000'000'000;
        m_model->setDrives({drive});
        if (place == Place::driveChip)
            shown = m_window->macPane()->findChild<DriveBar *>();
        else
            shown = m_window->setupGuide()->driveCards();
        return;
    }
    case Place::storageChip:
        m_model->setStorages({StorageVolume{name, "/storage/1A2B-3C4D", 4'000'000'000, 1'000'000'000, false}});
        shown = m_window->phonePane()->findChild<StorageSwitcher *>();
        return;
    case Place::transferRow: {
        TransferJob job;
        job.id = QUuid::createUuid();
        job.name = name;
        job.kind = TransferKind::toMac;
        job.state = TransferJob::State::done();
        m_model->setTransfers({job});
        QListView *list = m_window->transfersView()->list();
        const QPoint at = list->visualRect(list->model()->index(0, 0)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &help);
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("qtooltip_label") && widget->isVisible())
                shown = widget;
        return;
    }
    case Place::preview: {
        const QString path = m_home->filePath(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x00\x01\x02", 3));
        file.close();
        m_preview = std::make_unique<PreviewWindow>(path);
        shown = m_preview.get();
        return;
    }
    case Place::phoneInfo: {
        PhoneOptions options;
        options.manufacturer = "Acme";
        options.model = name;
        QVERIFY2(!m_fixture->addPhone(options).isEmpty(), qPrintable(m_fixture->errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice().has_value(), kPhoneWaitMs);
        m_window->showInfo();
        auto *view = qobject_cast<PhoneInfoView *>(m_window->infoPopover()->content());
        QTRY_VERIFY_WITH_TIMEOUT(view && !view->rows().isEmpty(), kPhoneWaitMs);
        shown = view;
        return;
    }
    }
}

void PlainNamesTest::namesShowAsTyped()
{
    QFETCH(Place, place);
    makeWindow();
    m_window->resize(1200, 700);
    QWidget *shown = nullptr;
    showAt(place, shown);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(shown);
    // Widgets added to a shown window appear from the event loop.
    auto mentions = [shown] {
        QStringList found;
        for (const QString &text : shownTexts(shown))
            if (text.contains(QLatin1String("Invoice")))
                found << text;
        return found;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(!mentions().isEmpty(), qPrintable(shownTexts(shown).join(" | ")), kPatienceMs);
    for (const QString &text : mentions())
        QVERIFY2(text.contains(name), qPrintable(text));
}

int runPlainNamesTests(int argc, char **argv)
{
    PlainNamesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PlainNamesTest.moc"
