// What the window shows when the phone cannot answer: the information popover says why
// instead of waiting, and a pane whose phone went away shows the reason alone.
#include "UiTests.h"
#include "Patience.h"

#include "PhoneFixture.h"
#include "ShownText.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/FilePane.h"
#include "ui/FileTableView.h"
#include "ui/MainWindow.h"
#include "ui/PhoneInfoView.h"
#include "ui/Popover.h"
#include "ui/UnavailablePanel.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kPhoneWaitMs = 60000;

} // namespace

class PhoneStatesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void infoOfAnUnauthorizedPhoneSaysWhy();
    void paneOfAPhoneThatWentAwayShowsTheReasonAlone();

private:
    void makeWindow();

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_previousHome;
};

void PhoneStatesTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void PhoneStatesTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
}

void PhoneStatesTest::cleanup()
{
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

void PhoneStatesTest::makeWindow()
{
    m_model = std::make_unique<AppModel>();
    m_window = std::make_unique<MainWindow>(m_model.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void PhoneStatesTest::infoOfAnUnauthorizedPhoneSaysWhy()
{
    PhoneOptions options;
    options.rejectAuth = true;
    QVERIFY2(!m_fixture->addPhone(options).isEmpty(), qPrintable(m_fixture->errorString()));
    makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->phonePane()->title().endsWith("(unauthorized)"), kPhoneWaitMs);

    m_window->showInfo();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->infoPopover()->isVisible(), kPatienceMs);
    auto *view = qobject_cast<PhoneInfoView *>(m_window->infoPopover()->content());
    QVERIFY(view);
    const QString why = QStringLiteral("Unlock your phone and tap “Allow” on the USB debugging prompt (tick “Always allow”).");
    QTRY_VERIFY_WITH_TIMEOUT(shownTexts(view).contains(why), kPhoneWaitMs);
    QVERIFY(!shownTexts(view).contains(QStringLiteral("Reading phone info…")));
    QCOMPARE(view->notice(), why);
    QVERIFY(view->rows().isEmpty());
}

void PhoneStatesTest::paneOfAPhoneThatWentAwayShowsTheReasonAlone()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY2(!serial.isEmpty(), qPrintable(m_fixture->errorString()));
    makeWindow();
    FilePane *phone = m_window->phonePane();
    QTRY_VERIFY_WITH_TIMEOUT(phone->shownNames().contains("Download"), kPhoneWaitMs);
    QVERIFY(phone->footerText().endsWith(" items"));

    m_fixture->stopPhone(serial);
    QTRY_COMPARE_WITH_TIMEOUT(phone->overlayTitle(), std::optional<QString>("Can't open folder"), kPhoneWaitMs);
    QVERIFY2(phone->overlay()->description().startsWith("Device is offline"), qPrintable(phone->overlay()->description()));
    // The rows of before are neither drawn nor counted.
    QCOMPARE(phone->shownNames(), QStringList());
    QCOMPARE(phone->table()->model()->rowCount(), 0);
    QCOMPARE(phone->footerText(), QString());

    // Back again, the folder is shown and counted as before.
    QVERIFY2(m_fixture->restartPhone(serial), qPrintable(m_fixture->errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(phone->shownNames().contains("Download"), kPhoneWaitMs);
    QCOMPARE(phone->overlayTitle(), std::nullopt);
    QVERIFY(phone->footerText().endsWith(" items"));
}

int runPhoneStatesTests(int argc, char **argv)
{
    PhoneStatesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhoneStatesTest.moc"
