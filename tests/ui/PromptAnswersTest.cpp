// The window's questions answer by the button pressed, whatever its label reads: a desktop
// theme may add shortcut marks to the labels ("&Replace").
#include "UiTests.h"
#include "Patience.h"

#include "AlertButtons.h"
#include "PhoneFixture.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/MainWindow.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kPhoneWaitMs = 60000;
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

// Marks every label of the alert with a shortcut, as such a theme does, and returns the
// button that read `label` before.
QAbstractButton *markShortcuts(QMessageBox *box, const QString &label)
{
    QAbstractButton *wanted = buttonLabelled(box, label);
    for (QAbstractButton *button : box->buttons())
        button->setText(QLatin1Char('&') + button->text());
    return wanted;
}

} // namespace

class PromptAnswersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void clashAnswerFollowsTheButton_data();
    void clashAnswerFollowsTheButton();
    void confirmationsFollowTheButton_data();
    void confirmationsFollowTheButton();

private:
    void makeWindow();

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_previousHome;
};

void PromptAnswersTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void PromptAnswersTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
}

void PromptAnswersTest::cleanup()
{
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

void PromptAnswersTest::makeWindow()
{
    m_model = std::make_unique<AppModel>();
    m_window = std::make_unique<MainWindow>(m_model.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void PromptAnswersTest::clashAnswerFollowsTheButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("copies");
    QTest::addColumn<QByteArray>("original"); // the phone's report.pdf afterwards
    QTest::addColumn<QByteArray>("numbered"); // its "report 2.pdf"; empty: none
    QTest::newRow("Replace") << "Replace" << true << QByteArray("from the computer") << QByteArray();
    QTest::newRow("Keep Both") << "Keep Both" << true << QByteArray("on the phone") << QByteArray("from the computer");
    QTest::newRow("Skip") << "Skip" << false << QByteArray("on the phone") << QByteArray();
    QTest::newRow("Cancel") << "Cancel" << false << QByteArray("on the phone") << QByteArray();
}

void PromptAnswersTest::clashAnswerFollowsTheButton()
{
    QFETCH(QString, button);
    QFETCH(bool, copies);
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, numbered);
    const QString serial = m_fixture->addPhone();
    QVERIFY2(!serial.isEmpty(), qPrintable(m_fixture->errorString()));
    QVERIFY(writeFile(m_fixture->hostPath(serial, phoneHome + "/report.pdf"), "on the phone"));
    const QString local = m_home->filePath("Downloads/report.pdf");
    QVERIFY(writeFile(local, "from the computer"));
    makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice().has_value(), kPhoneWaitMs);

    m_model->enqueue({local}, TransferJob::Kind::toAndroid, phoneHome, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->conflictAlert(), kPhoneWaitMs);
    QMessageBox *box = m_window->prompts()->conflictAlert();
    QTRY_VERIFY_WITH_TIMEOUT(box->isVisible(), kPatienceMs);
    QAbstractButton *answer = markShortcuts(box, button);
    QVERIFY(answer);
    QCOMPARE(answer->text(), "&" + button);
    answer->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_model->conflict(), std::nullopt, kPatienceMs);

    if (copies) {
        QTRY_COMPARE_WITH_TIMEOUT(m_model->transfers().size(), 1, kPhoneWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->hasActiveTransfers(), kPhoneWaitMs);
        QVERIFY(m_model->transfers().first().state.value() == TransferJob::State::Case::done);
    } else {
        // The batch resumes from the event loop; let it run, then nothing may have been queued.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(m_model->transfers().size(), 0);
    }
    QCOMPARE(readFile(m_fixture->hostPath(serial, phoneHome + "/report.pdf")), original);
    const QString second = m_fixture->hostPath(serial, phoneHome + "/report 2.pdf");
    QCOMPARE(QFileInfo::exists(second), !numbered.isEmpty());
    if (!numbered.isEmpty())
        QCOMPARE(readFile(second), numbered);
}

void PromptAnswersTest::confirmationsFollowTheButton_data()
{
    QTest::addColumn<bool>("backup");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("Move") << false << "Move" << true;
    QTest::newRow("Move cancelled") << false << "Cancel" << false;
    QTest::newRow("Back Up") << true << "Back Up" << true;
    QTest::newRow("Back up cancelled") << true << "Cancel" << false;
}

void PromptAnswersTest::confirmationsFollowTheButton()
{
    QFETCH(bool, backup);
    QFETCH(QString, button);
    QFETCH(bool, confirmed);
    makeWindow();
    Prompts *prompts = m_window->prompts();
    QSignalSpy moves(prompts, &Prompts::moveConfirmed);
    QSignalSpy backups(prompts, &Prompts::backupConfirmed);
    if (backup) {
        BackupPlan plan;
        plan.files = {BackupFile{phoneHome + "/DCIM/a.jpg", "DCIM/a.jpg", 1}};
        plan.scanned = 1;
        plan.destination = m_home->filePath("Pictures/Tessary Backup/EmuPhone 1");
        m_model->setBackupPlan(plan);
    } else {
        m_model->setMoveRequest(MoveRequest{{m_home->filePath("Downloads/a.txt")}, true, phoneHome});
    }
    QMessageBox *box = backup ? prompts->backupAlert() : prompts->moveAlert();
    QVERIFY(box);
    QAbstractButton *answer = markShortcuts(box, button);
    QVERIFY(answer);
    answer->click();
    QTRY_VERIFY_WITH_TIMEOUT(backup ? !prompts->backupAlert() : !prompts->moveAlert(), kPatienceMs);
    QCOMPARE(backup ? backups.size() : moves.size(), confirmed ? 1 : 0);
    QCOMPARE(backup ? moves.size() : backups.size(), 0);
    if (!confirmed)
        QVERIFY(backup ? !m_model->backupPlan() : !m_model->moveRequest());
}

int runPromptAnswersTests(int argc, char **argv)
{
    PromptAnswersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PromptAnswersTest.moc"
