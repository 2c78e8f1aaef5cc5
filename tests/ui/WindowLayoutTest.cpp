// Where things sit in the window: the transfer buttons keep their place whatever the panes'
// height, and a pane's Name column gets the room its names need before Size and Modified
// keep more than theirs.
#include "UiTests.h"
#include "Patience.h"

#include "PhoneFixture.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/ColumnFit.h"
#include "ui/FilePane.h"
#include "ui/FileTableModel.h"
#include "ui/FileTableView.h"
#include "ui/MainWindow.h"
#include "ui/TransfersView.h"

#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int kPhoneWaitMs = 60000;

FileEntry file(const QString &name)
{
    return FileEntry{name, "/data/" + name, false, 123456, "2026-12-10 12:53"};
}

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void fitColumnsSharesTheWidth_data();
    void fitColumnsSharesTheWidth();
    void paneColumnsFollowTheWidth_data();
    void paneColumnsFollowTheWidth();
    void transferButtonsKeepTheirPlace();
};

void WindowLayoutTest::fitColumnsSharesTheWidth_data()
{
    QTest::addColumn<int>("available");
    QTest::addColumn<int>("nameNeed");
    QTest::addColumn<int>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("modified");
    // Size needs 60 (ideal 80), Modified needs 110 (ideal 130).
    QTest::newRow("room for everything") << 600 << 200 << 390 << 80 << 130;
    QTest::newRow("just room") << 410 << 200 << 200 << 80 << 130;
    QTest::newRow("the others give up half their slack") << 390 << 200 << 200 << 70 << 120;
    QTest::newRow("the others at their needs") << 370 << 200 << 200 << 60 << 110;
    QTest::newRow("then Name is cut") << 300 << 200 << 130 << 60 << 110;
    QTest::newRow("nothing left for Name") << 100 << 200 << 0 << 60 << 110;
}

void WindowLayoutTest::fitColumnsSharesTheWidth()
{
    QFETCH(int, available);
    QFETCH(int, nameNeed);
    QFETCH(int, name);
    QFETCH(int, size);
    QFETCH(int, modified);
    const ColumnWidths widths = fitColumns(available, nameNeed, {60, 80}, {110, 130});
    QCOMPARE(widths.name, name);
    QCOMPARE(widths.size, size);
    QCOMPARE(widths.modified, modified);
}

void WindowLayoutTest::paneColumnsFollowTheWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("roomy");
    QTest::newRow("a wide pane") << 900 << true;
    QTest::newRow("a narrow pane") << 380 << false;
}

void WindowLayoutTest::paneColumnsFollowTheWidth()
{
    QFETCH(int, width);
    QFETCH(bool, roomy);
    FilePaneActions actions;
    FilePane pane(FilePane::Side::mac, std::move(actions));
    pane.resize(width, 400);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.setItems({file("Annual report spring 2024 final version.pdf"), file("big50.bin"), file("big50 2.bin")});
    FileTableView *table = pane.table();
    QHeaderView *header = table->horizontalHeader();
    const int available = table->viewport()->width();
    QTRY_COMPARE_WITH_TIMEOUT(header->sectionSize(FileTableModel::NameColumn) + header->sectionSize(FileTableModel::SizeColumn)
                     + header->sectionSize(FileTableModel::ModifiedColumn),
                 available, kPatienceMs);
    const int name = header->sectionSize(FileTableModel::NameColumn);
    const int size = header->sectionSize(FileTableModel::SizeColumn);
    const int modified = header->sectionSize(FileTableModel::ModifiedColumn);
    const int modifiedNeed = std::clamp(table->contentWidth(FileTableModel::ModifiedColumn), 100, 160);
    const int sizeNeed = std::clamp(table->contentWidth(FileTableModel::SizeColumn), 60, 120);
    // Size and Modified always keep what their texts need.
    QVERIFY2(modified >= modifiedNeed && size >= sizeNeed, qPrintable(QString("%1 %2").arg(size).arg(modified)));
    if (roomy) {
        QCOMPARE(size, std::max(80, sizeNeed));
        QCOMPARE(modified, std::max(130, modifiedNeed));
        QVERIFY(name >= table->contentWidth(FileTableModel::NameColumn));
    } else {
        // Too narrow for the long name: the others are down to their needs, Name has the rest.
        QVERIFY(name < table->contentWidth(FileTableModel::NameColumn));
        QCOMPARE(size, sizeNeed);
        QCOMPARE(modified, modifiedNeed);
    }
}

void WindowLayoutTest::transferButtonsKeepTheirPlace()
{
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath("Downloads"));
    const QByteArray previousHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    PhoneFixture fixture;
    QVERIFY2(fixture.start(), qPrintable(fixture.errorString()));
    ADB::shared().setCandidatesForTesting({fixture.adbPath()});
    QVERIFY2(!fixture.addPhone().isEmpty(), qPrintable(fixture.errorString()));
    {
        AppModel model;
        MainWindow window(&model);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE_WITH_TIMEOUT(window.region(), MainWindow::Region::browser, kPhoneWaitMs);
        auto places = [&] {
            QList<QPoint> points;
            for (QToolButton *button : window.transferButtons())
                points << button->mapTo(&window, QPoint(0, 0));
            return points;
        };
        QTRY_VERIFY_WITH_TIMEOUT(window.transferButtons().first()->isVisible(), kPatienceMs);
        const int paneHeight = window.macPane()->height();
        const QList<QPoint> before = places();

        // The transfers panel opens under the panes, which lose height.
        QList<TransferJob> jobs;
        for (int i = 0; i < 6; ++i) {
            TransferJob job;
            job.id = QUuid::createUuid();
            job.name = QString("photo_%1.jpg").arg(i);
            job.kind = TransferKind::toAndroid;
            job.state = TransferJob::State::queued();
            jobs << job;
        }
        model.setTransfers(jobs);
        QTRY_VERIFY_WITH_TIMEOUT(window.macPane()->height() < paneHeight, kPatienceMs);
        QCOMPARE(places(), before);

        // So does a lower window.
        window.resize(window.width(), window.minimumHeight());
        QTRY_VERIFY_WITH_TIMEOUT(window.macPane()->height() < paneHeight - 120, kPatienceMs);
        QCOMPARE(places(), before);

        model.setTransfers({});
        QTRY_VERIFY_WITH_TIMEOUT(!window.transfersView()->isVisible(), kPatienceMs);
        QTRY_VERIFY_WITH_TIMEOUT(window.macPane()->height() >= paneHeight - 120, kPatienceMs);
        QCOMPARE(places(), before);
    }
    qputenv("HOME", previousHome);
}

int runWindowLayoutTests(int argc, char **argv)
{
    WindowLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowLayoutTest.moc"
