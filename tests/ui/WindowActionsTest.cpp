// The window's own controls for the phone tools, installs, the photo backup, drag and drop
// and drive ejection, driven through the toolbar, popovers, alerts and pane tables against
// the real model, the real adb and emulated phones.
#include "UiTests.h"
#include "Patience.h"

#include "AlertButtons.h"
#include "PhoneFixture.h"
#include "RecordingPlatform.h"
#include "ScratchMount.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/DragFolder.h"
#include "model/transfer/DroppedPaths.h"
#include "model/transfer/TransferListModel.h"
#include "platform/Platform.h"
#include "ui/DriveBar.h"
#include "ui/DriveCards.h"
#include "ui/FilePane.h"
#include "ui/FileTableView.h"
#include "ui/MainWindow.h"
#include "ui/PhoneInfoView.h"
#include "ui/SetupGuideView.h"
#include "ui/Popover.h"
#include "ui/Prompts.h"
#include "ui/TransfersView.h"
#include "ui/WirelessView.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

const QString phoneHome = QStringLiteral("/storage/emulated/0");

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A loopback port that nothing listens on.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// Sends the drag enter, move and drop that a drag over the table's viewport at `pos`
// delivers; whether the drop was taken.
bool dropOn(FileTableView *table, const QPoint &pos, const QMimeData *data)
{
    QWidget *viewport = table->viewport();
    QDragEnterEvent enter(pos, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(pos), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    return drop.isAccepted();
}

// A point of the table's empty area, below its last row.
QPoint emptyArea(FileTableView *table)
{
    return QPoint(20, table->viewport()->height() - 6);
}

QPoint rowCentre(FilePane *pane, const QString &name)
{
    const int row = pane->shownNames().indexOf(name);
    return pane->table()->visualRect(pane->table()->model()->index(row, 0)).center();
}

} // namespace

class WindowActionsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void screenshotButton_data();
    void screenshotButton();
    void installButtonShowsEachOutcome();
    void backupButtonAsksThenCopies();
    void infoButtonShowsThePhone();
    void wirelessButtonsFollowTheirFields_data();
    void wirelessButtonsFollowTheirFields();
    void wirelessResultsBecomeTheNotice_data();
    void wirelessResultsBecomeTheNotice();
    void dropsOnPaneTables_data();
    void dropsOnPaneTables();
    void phoneRowDragCarriesItsFile();
    void driveEjectButtons_data();
    void driveEjectButtons();

private:
    void makeWindow();
    // Starts one phone, opens the window and waits until the phone is ready and listed.
    void openWithPhone(const PhoneOptions &options = {});
    QToolButton *toolbarButton(QAction *action) const;
    QAction *toolbarAction(int index) const { return m_window->toolbarActions().at(index); }
    QString onPhone(const QString &phonePath) const { return m_fixture->hostPath(m_serial, phonePath); }
    QString downloads() const { return m_home->filePath("Downloads"); }
    // The transfers panel's row of that name as shown: "" when there is none, else its state
    // ("queued", "running", "done", "cancelled", or "failed: " and the reason).
    QString shownJob(const QString &name) const;
    QStringList shownJobNames() const;

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    RecordingFileBrowser *m_browser = nullptr;
    QString m_serial;
    QByteArray m_previousHome;
};

void WindowActionsTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void WindowActionsTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
    auto browser = std::make_unique<RecordingFileBrowser>();
    m_browser = browser.get();
    Platform::instance().setFileBrowser(std::move(browser));
    // The backup reveals its folder when it is done, and finished transfers post a summary
    // while the window is in the background: the desktop is kept out of both.
    auto notifier = std::make_unique<RecordingNotifier>();
    notifier->available = false;
    Platform::instance().setNotifier(std::move(notifier));
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
}

void WindowActionsTest::cleanup()
{
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
    m_serial.clear();
    Platform::instance().restoreDefaults();
    m_browser = nullptr;
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

void WindowActionsTest::cleanupTestCase()
{
    Platform::instance().restoreDefaults();
}

void WindowActionsTest::makeWindow()
{
    m_model = std::make_unique<AppModel>();
    m_window = std::make_unique<MainWindow>(m_model.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void WindowActionsTest::openWithPhone(const PhoneOptions &options)
{
    m_serial = m_fixture->addPhone(options);
    QVERIFY2(!m_serial.isEmpty(), qPrintable(m_fixture->errorString()));
    makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice().has_value(), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->phonePane()->shownNames().contains("Download"), kPatienceMs);
}

QToolButton *WindowActionsTest::toolbarButton(QAction *action) const
{
    auto *toolbar = m_window->findChild<QToolBar *>(QStringLiteral("mainToolbar"));
    return toolbar ? qobject_cast<QToolButton *>(toolbar->widgetForAction(action)) : nullptr;
}

QString WindowActionsTest::shownJob(const QString &name) const
{
    const QAbstractItemModel *rows = m_window->transfersView()->list()->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        const TransferJob job = rows->index(row, 0).data(TransferListModel::JobRole).value<TransferJob>();
        if (job.name != name)
            continue;
        switch (job.state.value()) {
        case TransferJob::State::Case::queued:
            return "queued";
        case TransferJob::State::Case::running:
            return "running";
        case TransferJob::State::Case::done:
            return "done";
        case TransferJob::State::Case::cancelled:
            return "cancelled";
        case TransferJob::State::Case::failed:
            return "failed: " + job.state.message();
        }
    }
    return {};
}

QStringList WindowActionsTest::shownJobNames() const
{
    const QAbstractItemModel *rows = m_window->transfersView()->list()->model();
    QStringList names;
    for (int row = 0; row < rows->rowCount(); ++row)
        names << rows->index(row, 0).data().toString();
    return names;
}

void WindowActionsTest::screenshotButton_data()
{
    QTest::addColumn<bool>("locked");
    QTest::newRow("saved in the computer folder") << false;
    QTest::newRow("locked phone explains") << true;
}

void WindowActionsTest::screenshotButton()
{
    QFETCH(bool, locked);
    PhoneOptions options;
    options.locked = locked;
    openWithPhone(options);
    QToolButton *button = toolbarButton(toolbarAction(2));
    QVERIFY(button);
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), kPatienceMs);
    QCOMPARE(button->toolTip(), QString("Take a screenshot of the phone screen and save it in the current Mac folder"));
    QTest::mouseClick(button, Qt::LeftButton);

    if (locked) {
        QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->messageAlert(), kPatienceMs);
        QCOMPARE(m_window->prompts()->messageAlert()->informativeText(),
                 QString("Could not capture the screen (is it locked?)."));
        QVERIFY(QDir(downloads()).isEmpty());
        return;
    }
    FilePane *mac = m_window->macPane();
    QTRY_COMPARE_WITH_TIMEOUT(mac->shownNames().size(), 1, kPatienceMs);
    const QString name = mac->shownNames().first();
    static const QRegularExpression named(R"(^Android Screenshot \d{4}-\d{2}-\d{2} at \d{2}\.\d{2}\.\d{2}\.png$)");
    QVERIFY2(named.match(name).hasMatch(), qPrintable(name));
    const QString path = downloads() + "/" + name;
    QVERIFY(readFile(path).startsWith("\x89PNG\r\n\x1a\n"));
    // The new screenshot is the selected row.
    QCOMPARE(m_model->macSelection(), QSet<QString>{path});
    const QModelIndexList selected = mac->table()->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().data().toString(), name);
    QCOMPARE(m_model->message(), std::nullopt);
}

void WindowActionsTest::installButtonShowsEachOutcome()
{
    openWithPhone();
    QTemporaryDir packages;
    const QString good = packages.filePath("good.apk");
    const QString bad = packages.filePath("bad.apk");
    QVERIFY(writeFile(good, QByteArray("PK\x03\x04", 4) + QByteArray(64, 'a')));
    QVERIFY(writeFile(bad, "not a package"));
    QStringList prompts;
    m_model->setApkPicker([&](const QString &prompt) {
        prompts << prompt;
        return QStringList{good, bad};
    });

    QToolButton *button = toolbarButton(toolbarAction(1));
    QVERIFY(button);
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), kPatienceMs);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(prompts, QStringList{"Choose APK files to install on your phone"});
    QVERIFY(m_window->transfersView()->isVisible());
    // Newest on top: each install is inserted above the one before.
    QCOMPARE(shownJobNames(), (QStringList{"Install bad.apk", "Install good.apk"}));
    QTRY_COMPARE_WITH_TIMEOUT(shownJob("Install good.apk"), QString("done"), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(shownJob("Install bad.apk").startsWith("failed: "), kPatienceMs);
    QVERIFY2(shownJob("Install bad.apk").contains("INSTALL_PARSE_FAILED_NOT_APK"), qPrintable(shownJob("Install bad.apk")));
    QVERIFY(!m_window->transfersView()->cancelAllButton()->isVisible());
}

void WindowActionsTest::backupButtonAsksThenCopies()
{
    PhoneOptions options;
    options.model = "Cam1";
    openWithPhone(options);
    const QMap<QString, QByteArray> photos{{"DCIM/Camera/IMG_1.jpg", "first photo"},
                                           {"DCIM/Camera/VID_2.mp4", "a video"},
                                           {"Pictures/Screenshots/shot.png", "png"}};
    for (auto it = photos.cbegin(); it != photos.cend(); ++it)
        QVERIFY(writeFile(onPhone(phoneHome + "/" + it.key()), it.value()));
    const QString destination = m_home->filePath("Pictures/Tessary Backup/Cam1");

    QToolButton *button = toolbarButton(toolbarAction(0));
    QVERIFY(button);
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), kPatienceMs);
    QCOMPARE(button->toolTip(), QString("Back up camera photos & videos (new files only)"));
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->backupAlert(), kPatienceMs);
    QMessageBox *alert = m_window->prompts()->backupAlert();
    QTRY_VERIFY_WITH_TIMEOUT(alert->isVisible(), kPatienceMs);
    QCOMPARE(alert->windowTitle(), QString("Back up photos?"));
    QVERIFY2(alert->informativeText().startsWith("3 new photo/video file(s) ("), qPrintable(alert->informativeText()));
    QVERIFY(alert->informativeText().endsWith(") will be copied to:\n" + destination + "\n\nFiles already backed up are skipped."));
    // The scan is over: the button is back (the toolbar lays it out again) and can be
    // pressed again.
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), kPatienceMs);
    QVERIFY(button->isEnabled());

    QAbstractButton *backUp = buttonLabelled(alert, "Back Up");
    QVERIFY(backUp);
    QTest::mouseClick(backUp, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->prompts()->backupAlert(), nullptr, kPatienceMs);
    QCOMPARE(m_model->backupPlan(), std::nullopt);
    QTRY_COMPARE_WITH_TIMEOUT(shownJob("Photo backup (3 files)"), QString("done"), kPatienceMs);
    for (auto it = photos.cbegin(); it != photos.cend(); ++it)
        QCOMPARE(readFile(destination + "/" + it.key()), it.value());
    QCOMPARE(m_browser->revealed, QStringList{destination});

    // A second press finds nothing new and says so.
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->messageAlert(), kPatienceMs);
    QCOMPARE(m_window->prompts()->messageAlert()->informativeText(),
             QString("Everything is already backed up (3 files checked)."));
    QCOMPARE(m_window->prompts()->backupAlert(), nullptr);
}

void WindowActionsTest::infoButtonShowsThePhone()
{
    PhoneOptions options;
    options.manufacturer = "Acme";
    options.androidVersion = "13";
    options.batteryLevel = 42;
    options.batteryStatus = 3;
    openWithPhone(options);
    QToolButton *button = toolbarButton(toolbarAction(3));
    QVERIFY(button);
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), kPatienceMs);
    QCOMPARE(button->toolTip(), QString("Phone info: battery, storage, Android version"));
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->infoPopover()->isVisible(), kPatienceMs);
    auto *view = qobject_cast<PhoneInfoView *>(m_window->infoPopover()->content());
    QVERIFY(view);
    QTRY_VERIFY_WITH_TIMEOUT(!view->rows().isEmpty(), kPatienceMs);
    const QList<QPair<QString, QString>> rows = view->rows();
    QVERIFY(rows.contains(qMakePair(QString("Android"), QString("13"))));
    QVERIFY(rows.contains(qMakePair(QString("Serial"), m_serial)));
    QVERIFY(rows.contains(qMakePair(QString("Battery"), QString("42%"))));
    // A label added to a shown popover appears on a later turn of the event loop.
    auto shownTexts = [view] {
        QStringList texts;
        for (const QLabel *label : view->findChildren<QLabel *>())
            if (label->isVisible())
                texts << label->text();
        return texts;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(shownTexts().contains("Acme EmuPhone 1"), qPrintable(shownTexts().join(" | ")), kPatienceMs);
    QVERIFY(rows.contains(qMakePair(QString("Battery temp"), QString("29.1 °C"))));
    // A block per storage volume follows the rows.
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->storages().isEmpty(), kPatienceMs);
    const QString volume = m_model->storages().first().name;
    auto showsVolume = [&] {
        const QList<QPair<QString, QString>> shown = view->rows();
        return std::any_of(shown.cbegin(), shown.cend(), [&](const auto &row) { return row.first == volume; });
    };
    QTRY_VERIFY_WITH_TIMEOUT(showsVolume(), kPatienceMs);

    // The button toggles: a second press closes the popover. The click goes through the
    // window, as the pointer's does, so the open popover sees it first.
    QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, button->mapTo(m_window.get(), button->rect().center()));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->infoPopover()->isVisible(), kPatienceMs);
    QCoreApplication::processEvents();
    QVERIFY(!m_window->infoPopover()->isVisible());
}

void WindowActionsTest::wirelessButtonsFollowTheirFields_data()
{
    QTest::addColumn<QString>("pairAddress");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("pairEnabled");
    QTest::addColumn<bool>("connectEnabled");
    QTest::newRow("nothing typed") << "" << "" << "" << false << false;
    QTest::newRow("pairing address only") << "127.0.0.1:37123" << "" << "" << false << false;
    QTest::newRow("code only") << "" << "123456" << "" << false << false;
    QTest::newRow("pairing address and code") << "127.0.0.1:37123" << "123456" << "" << true << false;
    QTest::newRow("connect address") << "" << "" << "127.0.0.1:5555" << false << true;
}

void WindowActionsTest::wirelessButtonsFollowTheirFields()
{
    QFETCH(QString, pairAddress);
    QFETCH(QString, code);
    QFETCH(QString, address);
    QFETCH(bool, pairEnabled);
    QFETCH(bool, connectEnabled);
    makeWindow();
    QToolButton *button = toolbarButton(toolbarAction(5));
    QVERIFY(button);
    QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), kPatienceMs);
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->wirelessPopover()->isVisible(), kPatienceMs);
    auto *view = qobject_cast<WirelessView *>(m_window->wirelessPopover()->content());
    QVERIFY(view);
    QTest::keyClicks(view->pairAddressField(), pairAddress);
    QTest::keyClicks(view->codeField(), code);
    QTest::keyClicks(view->addressField(), address);
    QCOMPARE(view->pairButton()->isEnabled(), pairEnabled);
    QCOMPARE(view->connectButton()->isEnabled(), connectEnabled);
}

void WindowActionsTest::wirelessResultsBecomeTheNotice_data()
{
    QTest::addColumn<bool>("pairing");
    QTest::addColumn<bool>("byReturn");
    QTest::newRow("connect") << false << false;
    QTest::newRow("connect by Return in the field") << false << true;
    QTest::newRow("pair") << true << false;
    QTest::newRow("pair by Return in the code field") << true << true;
}

void WindowActionsTest::wirelessResultsBecomeTheNotice()
{
    QFETCH(bool, pairing);
    QFETCH(bool, byReturn);
    makeWindow();
    const QString address = "127.0.0.1:" + QString::number(closedPort());
    QToolButton *button = toolbarButton(toolbarAction(5));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->wirelessPopover()->isVisible(), kPatienceMs);
    auto *view = qobject_cast<WirelessView *>(m_window->wirelessPopover()->content());
    QVERIFY(view);
    if (pairing) {
        QTest::keyClicks(view->pairAddressField(), address);
        QTest::keyClicks(view->codeField(), "123456");
        if (byReturn)
            QTest::keyClick(view->codeField(), Qt::Key_Return);
        else
            QTest::mouseClick(view->pairButton(), Qt::LeftButton);
    } else {
        QTest::keyClicks(view->addressField(), address);
        if (byReturn)
            QTest::keyClick(view->addressField(), Qt::Key_Return);
        else
            QTest::mouseClick(view->connectButton(), Qt::LeftButton);
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->messageAlert(), kPatienceMs);
    QMessageBox *notice = m_window->prompts()->messageAlert();
    QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), kPatienceMs);
    const QString text = notice->informativeText();
    QCOMPARE(text, *m_model->message());
    if (pairing) {
        // adb's answer, whatever its version: pairing failed, or this adb does not know it.
        QVERIFY2(text.contains("pair", Qt::CaseInsensitive), qPrintable(text));
    } else {
        // adb's own words: "failed to connect to '127.0.0.1:PORT': Connection refused".
        QVERIFY2(text.contains(address) && text.contains("refused"), qPrintable(text));
    }
    QTest::mouseClick(buttonLabelled(notice, "OK"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->message(), std::nullopt, kPatienceMs);
}

void WindowActionsTest::dropsOnPaneTables_data()
{
    QTest::addColumn<bool>("phonePane");
    QTest::addColumn<QString>("row");      // the row dropped on; empty: the table's empty area
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("job");      // the transfers panel's row; empty: none
    QTest::addColumn<QString>("arrives");  // where the file lands on the phone; empty: nowhere
    QTest::newRow("file on the phone pane")
        << true << "" << "notes.txt" << true << "notes.txt" << phoneHome + "/notes.txt";
    QTest::newRow("file on a phone folder row")
        << true << "Download" << "notes.txt" << true << "notes.txt" << phoneHome + "/Download/notes.txt";
    QTest::newRow("apk on the phone pane is installed")
        << true << "" << "app.apk" << true << "Install app.apk" << "";
    QTest::newRow("other application's file on the computer pane is refused")
        << false << "" << "notes.txt" << false << "" << "";
}

void WindowActionsTest::dropsOnPaneTables()
{
    QFETCH(bool, phonePane);
    QFETCH(QString, row);
    QFETCH(QString, file);
    QFETCH(bool, accepted);
    QFETCH(QString, job);
    QFETCH(QString, arrives);
    openWithPhone();
    // A file from another application: a plain file URL, no private payload.
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(file);
    const QByteArray content = file.endsWith(".apk") ? QByteArray("PK\x03\x04", 4) + "package" : "dropped";
    QVERIFY(writeFile(source, content));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(source)});

    FilePane *pane = phonePane ? m_window->phonePane() : m_window->macPane();
    QPoint at = row.isEmpty() ? emptyArea(pane->table()) : rowCentre(pane, row);
    QCOMPARE(pane->table()->indexAt(at).isValid(), !row.isEmpty());
    QCOMPARE(dropOn(pane->table(), at, &data), accepted);

    if (job.isEmpty()) {
        QCoreApplication::processEvents();
        QVERIFY(m_model->transfers().isEmpty());
        QVERIFY(!m_window->transfersView()->isVisible());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_window->transfersView()->isVisible(), kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(shownJob(job), QString("done"), kPatienceMs);
    QCOMPARE(shownJobNames(), QStringList{job});
    if (arrives.isEmpty())
        QVERIFY(!QFile::exists(onPhone(phoneHome + "/" + file)));
    else
        QCOMPARE(readFile(onPhone(arrives)), content);
}

void WindowActionsTest::phoneRowDragCarriesItsFile()
{
    openWithPhone();
    QVERIFY(writeFile(onPhone(phoneHome + "/photo.jpg"), "jpeg bytes"));
    QVERIFY(writeFile(onPhone(phoneHome + "/other.jpg"), "other"));
    m_window->rescanAction()->trigger();
    FilePane *phone = m_window->phonePane();
    QTRY_VERIFY_WITH_TIMEOUT(phone->shownNames().contains("photo.jpg") && phone->shownNames().contains("other.jpg"),
                             kPatienceMs);
    phone->table()->selectRow(phone->shownNames().indexOf("photo.jpg"));
    QCOMPARE(m_model->androidSelection(), QSet<QString>{phoneHome + "/photo.jpg"});

    // What a drag of the selected row carries.
    const QModelIndex index = phone->table()->model()->index(phone->shownNames().indexOf("photo.jpg"), 0);
    std::unique_ptr<QMimeData> drag(phone->table()->makeDrag(index));
    QVERIFY(drag);
    const std::optional<DroppedPaths> payload = DroppedPaths::fromJson(drag->data(dragPathsMimeType));
    QVERIFY(payload);
    QCOMPARE(payload->side, std::optional(DragSide::android));
    QCOMPARE(payload->paths, QStringList{phoneHome + "/photo.jpg"});

    // Another application that asks for the file gets a pulled copy.
    const QList<QUrl> urls = drag->urls();
    QCOMPARE(urls.size(), 1);
    const QString pulled = urls.first().toLocalFile();
    QVERIFY2(pulled.startsWith(DragFolder::path() + "/") && pulled.endsWith("/photo.jpg"), qPrintable(pulled));
    QCOMPARE(readFile(pulled), QByteArray("jpeg bytes"));
    QCOMPARE(shownJob("photo.jpg"), QString("done"));

    // Dropped on the computer pane, the same drag copies the row into its folder.
    QVERIFY(dropOn(m_window->macPane()->table(), emptyArea(m_window->macPane()->table()), drag.get()));
    QTRY_COMPARE_WITH_TIMEOUT(readFile(downloads() + "/photo.jpg"), QByteArray("jpeg bytes"), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->hasActiveTransfers(), kPatienceMs);
    QCOMPARE(shownJobNames(), (QStringList{"photo.jpg", "photo.jpg"}));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->macPane()->shownNames(), QStringList{"photo.jpg"}, kPatienceMs);
    // Dropped back on its own pane it does nothing.
    QVERIFY(dropOn(phone->table(), emptyArea(phone->table()), drag.get()));
    QCoreApplication::processEvents();
    QCOMPARE(m_model->transfers().size(), 2);
}

void WindowActionsTest::driveEjectButtons_data()
{
    QTest::addColumn<bool>("withPhone"); // the drive bar of the browser, else the setup guide's card
    QTest::addColumn<bool>("busy");
    QTest::newRow("drive bar chip") << true << false;
    QTest::newRow("drive bar chip of a busy drive") << true << true;
    QTest::newRow("setup guide card") << false << false;
}

void WindowActionsTest::driveEjectButtons()
{
    QFETCH(bool, withPhone);
    QFETCH(bool, busy);
    if (::geteuid() != 0)
        QSKIP("mounting a test volume under /media needs root");
    if (withPhone)
        openWithPhone();
    else
        makeWindow();
    auto *bar = m_window->macPane()->findChild<DriveBar *>();
    QVERIFY(bar);
    DriveCards *cards = m_window->setupGuide()->driveCards();
    ScratchMount mount;
    QVERIFY2(mount.mountExfatImage(false), qPrintable(mount.error()));
    // The drive's control in the bar's chips or the guide's cards, both in drive order.
    auto ejectButton = [&]() -> QAbstractButton * {
        const QList<DriveInfo> drives = m_model->drives();
        for (int i = 0; i < drives.size(); ++i) {
            if (drives.at(i).path() != mount.mountPoint())
                continue;
            if (withPhone)
                return i < bar->ejectButtons().size() ? bar->ejectButtons().at(i) : nullptr;
            return i < cards->ejectButtons().size() ? cards->ejectButtons().at(i) : nullptr;
        }
        return nullptr;
    };
    QTRY_VERIFY_WITH_TIMEOUT(ejectButton(), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(ejectButton()->isVisible(), kPatienceMs);
    if (withPhone) {
        QCOMPARE(ejectButton()->toolTip(), "Eject " + mount.name());
    } else {
        QCOMPARE(ejectButton()->text(), QString("Eject"));
        const int card = int(cards->ejectButtons().indexOf(ejectButton()));
        QTest::mouseClick(cards->revealButtons().at(card), Qt::LeftButton);
        QCOMPARE(m_browser->revealed, QStringList{mount.mountPoint()});
    }
    // A drive that appears is opened in the computer pane.
    QTRY_COMPARE_WITH_TIMEOUT(m_model->macPath(), mount.mountPoint(), kPatienceMs);

    std::unique_ptr<QFile> held;
    if (busy) {
        held = std::make_unique<QFile>(mount.mountPoint() + "/open.txt");
        QVERIFY(held->open(QIODevice::WriteOnly));
    }
    QTest::mouseClick(ejectButton(), Qt::LeftButton);

    if (busy) {
        QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->messageAlert(), kPatienceMs);
        const QString text = m_window->prompts()->messageAlert()->informativeText();
        QVERIFY2(text.startsWith("Couldn't eject \u201C" + mount.name() + "\u201D: "), qPrintable(text));
        QVERIFY(ejectButton());
        QVERIFY(QFileInfo::exists(held->fileName()));
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(ejectButton(), nullptr, kPatienceMs);
    // The pane leaves the folder of a drive that went away.
    QTRY_COMPARE_WITH_TIMEOUT(m_model->macPath(), downloads(), kPatienceMs);
    QCOMPARE(m_model->message(), std::nullopt);
}

int runWindowActionsTests(int argc, char **argv)
{
    WindowActionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowActionsTest.moc"
