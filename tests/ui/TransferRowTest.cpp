#include "UiTests.h"
#include "Patience.h"

#include "ui/TransferRowDelegate.h"

#include <QListView>
#include <QStandardItemModel>
#include <QTest>

Q_DECLARE_METATYPE(TransferRowDelegate::Button)

class TransferRowTest : public QObject
{
    Q_OBJECT

private slots:
    void buttonFollowsState_data();
    void buttonFollowsState();
    void indeterminateBarMoves();
};

void TransferRowTest::buttonFollowsState_data()
{
    QTest::addColumn<TransferJob>("job");
    QTest::addColumn<TransferRowDelegate::Button>("button");
    using B = TransferRowDelegate::Button;
    TransferJob job;
    job.name = "a.jpg";
    job.spec = TransferSpec{"/a.jpg", "/storage/emulated/0", std::nullopt, TransferKind::toAndroid, "s", false};

    job.state = TransferJob::State::queued();
    QTest::newRow("queued can be cancelled") << job << B::cancel;
    job.state = TransferJob::State::running();
    QTest::newRow("running can be cancelled") << job << B::cancel;
    job.state = TransferJob::State::done();
    QTest::newRow("done has no control") << job << B::none;
    job.state = TransferJob::State::failed("adb: error: remote couldn't create file");
    QTest::newRow("failed can be retried") << job << B::retry;
    job.state = TransferJob::State::cancelled();
    QTest::newRow("cancelled can be retried") << job << B::retry;
    job.spec.reset();
    QTest::newRow("cancelled without spec has no control") << job << B::none;
    job.state = TransferJob::State::failed("1 file(s) failed");
    QTest::newRow("failed without spec shows no retry") << job << B::none;
}

void TransferRowTest::buttonFollowsState()
{
    QFETCH(TransferJob, job);
    QFETCH(TransferRowDelegate::Button, button);
    QCOMPARE(TransferRowDelegate::buttonFor(job), button);
}

void TransferRowTest::indeterminateBarMoves()
{
    TransferJob job;
    job.name = "backup";
    job.state = TransferJob::State::running();
    job.indeterminate = true;
    QStandardItemModel rows(1, 1);
    QListView view;
    view.setModel(&rows);
    view.setItemDelegate(new TransferRowDelegate([&job](const QModelIndex &) { return job; }, &view));
    view.resize(600, 60);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // Nothing but the running time changes, so a different picture means the bar moved.
    const QImage first = view.viewport()->grab().toImage();
    QTRY_VERIFY_WITH_TIMEOUT(view.viewport()->grab().toImage() != first, kPatienceMs);
}

int runTransferRowTests(int argc, char **argv)
{
    TransferRowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TransferRowTest.moc"
