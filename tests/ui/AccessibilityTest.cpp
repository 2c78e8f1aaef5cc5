// Every control a screen reader reaches has a name. The test walks the window's
// accessibility tree, as an assistive tool reads it, in each of the window's states.
#include "UiTests.h"
#include "Patience.h"

#include "PhoneFixture.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/FilePane.h"
#include "ui/MainWindow.h"
#include "ui/PhoneInfoView.h"
#include "ui/Popover.h"
#include "ui/TransfersView.h"

#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

namespace {

constexpr int kPhoneWaitMs = 60000;

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Link:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

QString describe(QAccessibleInterface *node)
{
    const QString role = QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role()));
    QString where;
    for (QObject *object = node->object(); object; object = object->parent()) {
        const QString part = object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                                             : object->objectName();
        where = where.isEmpty() ? part : part + QLatin1Char('/') + where;
    }
    return role + QStringLiteral(" at ") + where + QStringLiteral(" (help: \"") + node->text(QAccessible::Description)
        + QStringLiteral("\")");
}

// The interactive controls below `node` that a screen reader would announce without a name.
void collectUnnamed(QAccessibleInterface *node, QStringList &unnamed)
{
    if (!node || !node->isValid() || node->state().invisible)
        return;
    if (interactive(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << describe(node);
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), unnamed);
}

QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed);
    return unnamed;
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyControlHasAName_data();
    void everyControlHasAName();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    QByteArray m_previousHome;
};

void AccessibilityTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void AccessibilityTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
}

void AccessibilityTest::cleanup()
{
    m_fixture.reset();
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

void AccessibilityTest::everyControlHasAName_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("no adb") << "no adb";
    QTest::newRow("no phone") << "no phone";
    QTest::newRow("browsing") << "browsing";
    QTest::newRow("transfers shown") << "transfers shown";
}

void AccessibilityTest::everyControlHasAName()
{
    QFETCH(QString, state);
    if (state == "no adb") {
        ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
    } else {
        m_fixture = std::make_unique<PhoneFixture>();
        QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
        ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
        if (state != "no phone") {
            PhoneOptions options;
            options.cards = {"1A2B-3C4D"};
            QVERIFY2(!m_fixture->addPhone(options).isEmpty(), qPrintable(m_fixture->errorString()));
        }
    }
    AppModel model;
    MainWindow window(&model);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The drive scan the model starts with has published its list; a drive of the test's own
    // then stays, so that its chip and card are walked too.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    DriveInfo drive;
    drive.url = QUrl::fromLocalFile(QStringLiteral("/media/Backup"));
    drive.name = QStringLiteral("Backup");
    drive.fsType = QStringLiteral("ntfs3");
    drive.format = QStringLiteral("NTFS");
    drive.isReadOnly = true;
    drive.total = 2'000'000'000;
    drive.free = 1'000'000'000;
    model.setDrives({drive});

    QList<QWidget *> windows{&window};
    if (state == "no adb") {
        QCOMPARE(window.region(), MainWindow::Region::adbMissing);
    } else if (state == "no phone") {
        QCOMPARE(window.region(), MainWindow::Region::setupGuide);
        window.showWireless();
        QTRY_VERIFY_WITH_TIMEOUT(window.wirelessPopover()->isVisible(), kPatienceMs);
        windows << window.wirelessPopover();
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(model.readyDevice().has_value(), kPhoneWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(model.storages().size(), 2, kPhoneWaitMs);
        QCOMPARE(window.region(), MainWindow::Region::browser);
        if (state == "browsing") {
            window.showInfo();
            auto *view = qobject_cast<PhoneInfoView *>(window.infoPopover()->content());
            QTRY_VERIFY_WITH_TIMEOUT(view && !view->rows().isEmpty(), kPhoneWaitMs);
            windows << window.infoPopover();
        } else {
            TransferJob running;
            running.id = QUuid::createUuid();
            running.name = QStringLiteral("movie.mp4");
            running.kind = TransferKind::toMac;
            running.state = TransferJob::State::running();
            TransferJob failed = running;
            failed.id = QUuid::createUuid();
            failed.name = QStringLiteral("big.bin");
            failed.state = TransferJob::State::failed(QStringLiteral("adb: error: no space left on device"));
            model.setTransfers({running, failed});
            QTRY_VERIFY_WITH_TIMEOUT(window.transfersView()->isVisible(), kPatienceMs);
        }
        // Text in both filter fields brings up their clear buttons.
        window.macPane()->filterField()->setText(QStringLiteral("a"));
        window.phonePane()->filterField()->setText(QStringLiteral("a"));
    }

    // The backup button reads its "&" as written, not as a shortcut mark.
    if (state == "browsing") {
        QStringList names;
        QList<QAccessibleInterface *> nodes{QAccessible::queryAccessibleInterface(&window)};
        while (!nodes.isEmpty()) {
            QAccessibleInterface *node = nodes.takeFirst();
            if (!node || !node->isValid())
                continue;
            if (node->text(QAccessible::Name).startsWith(QLatin1String("Back up camera photos")))
                names << node->text(QAccessible::Name);
            for (int i = 0; i < node->childCount(); ++i)
                nodes << node->child(i);
        }
        QCOMPARE(names, QStringList{QStringLiteral("Back up camera photos & videos (new files only)")});
    }

    QStringList unnamed;
    for (QWidget *shown : windows)
        unnamed += unnamedControls(shown);
    for (const QString &control : unnamed)
        qWarning("no name: %s", qPrintable(control));
    QVERIFY2(unnamed.isEmpty(), qPrintable(QString::number(unnamed.size()) + QStringLiteral(" controls have no name")));
}

int runAccessibilityTests(int argc, char **argv)
{
    AccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AccessibilityTest.moc"
