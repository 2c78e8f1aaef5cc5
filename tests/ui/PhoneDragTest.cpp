// A phone row dragged out of the window: its file is pulled for a drop, not while the drag
// only hovers, and the drag may end while the pull runs.
#include "UiTests.h"

#include "PhoneFixture.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/FilePane.h"
#include "ui/FileTableView.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
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

} // namespace

class PhoneDragTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void hoveringPullsNothing();
    void dragEndingDuringThePull();

private:
    // The payload a drag of the phone's photo.jpg carries.
    QMimeData *dragPhoto();

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_previousHome;
};

void PhoneDragTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void PhoneDragTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
    const QString serial = m_fixture->addPhone();
    QVERIFY2(!serial.isEmpty(), qPrintable(m_fixture->errorString()));
    QVERIFY(writeFile(m_fixture->hostPath(serial, phoneHome + "/photo.jpg"), "jpeg bytes"));
    m_model = std::make_unique<AppModel>();
    m_window = std::make_unique<MainWindow>(m_model.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->phonePane()->shownNames().contains("photo.jpg"), kPhoneWaitMs);
}

void PhoneDragTest::cleanup()
{
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

QMimeData *PhoneDragTest::dragPhoto()
{
    FilePane *phone = m_window->phonePane();
    const QModelIndex index = phone->table()->model()->index(phone->shownNames().indexOf("photo.jpg"), 0);
    return phone->table()->makeDrag(index);
}

void PhoneDragTest::hoveringPullsNothing()
{
    std::unique_ptr<QMimeData> drag(dragPhoto());
    QVERIFY(drag);
    QVERIFY(drag->hasUrls());

    // The button is held: the drag still hovers over a receiver that looks at its data.
    QWidget *footer = m_window->macPane()->findChild<QLabel *>("footer");
    QVERIFY(footer);
    const QPoint on = footer->mapTo(m_window.get(), footer->rect().center());
    QTest::mousePress(m_window->windowHandle(), Qt::LeftButton, {}, on);
    QVERIFY(QGuiApplication::mouseButtons() & Qt::LeftButton);
    QCOMPARE(drag->urls(), QList<QUrl>());
    QCOMPARE(m_model->transfers().size(), 0);

    // Dropped: the receiver gets the pulled copy, pulled once.
    QTest::mouseRelease(m_window->windowHandle(), Qt::LeftButton, {}, on);
    QCOMPARE(QGuiApplication::mouseButtons(), Qt::NoButton);
    const QList<QUrl> urls = drag->urls();
    QCOMPARE(urls.size(), 1);
    QCOMPARE(readFile(urls.first().toLocalFile()), QByteArray("jpeg bytes"));
    QCOMPARE(drag->urls(), urls);
    QCOMPARE(m_model->transfers().size(), 1);
}

void PhoneDragTest::dragEndingDuringThePull()
{
    QMimeData *data = dragPhoto();
    QVERIFY(data);
    auto *drag = new QDrag(m_window.get());
    drag->setMimeData(data);
    QPointer<QMimeData> alive(data);
    // The drag ends while the pull runs: Qt deletes the drag, and with it its data, from the
    // event loop the pull waits in. The pull's row appearing is the moment it runs.
    connect(m_model.get(), &AppModel::transfersChanged, drag, &QObject::deleteLater);
    const QList<QUrl> urls = data->urls();
    QVERIFY(!alive);
    // The copy was made all the same, and its row tells how it went.
    QCOMPARE(urls.size(), 1);
    QCOMPARE(readFile(urls.first().toLocalFile()), QByteArray("jpeg bytes"));
    QCOMPARE(m_model->transfers().size(), 1);
    QVERIFY(m_model->transfers().first().state.value() == TransferJob::State::Case::done);
}

int runPhoneDragTests(int argc, char **argv)
{
    PhoneDragTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhoneDragTest.moc"
