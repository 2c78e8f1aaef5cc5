// Copies to the phone take their destinations' names beside the worker's next copy. On a
// phone every shell command costs about as much as pushing a small file, so a batch of small
// pushes would spend half its time on the rename of each; here the renames of the copies
// that finished meanwhile share one shell run. Small files finish faster than a shell run
// takes, so the settler waits a moment for more copies to join a run, unless the worker waits
// for it or the run is full. Rows still end in the order of the queue: the job whose copy
// runs meanwhile is shown as running once the jobs before it have ended.
#include "model/AppModel.h"

#include "model/StopHandle.h"
#include "model/TransferCopy.h"
#include "model/transfer/TransferPaths.h"

#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTimer>
#include <QPointer>

namespace {

// Whether one of the two paths is the other or inside it.
bool overlaps(const QString &a, const QString &b)
{
    return a == b || a.startsWith(b + QLatin1Char('/')) || b.startsWith(a + QLatin1Char('/'));
}

// How long the first copy of a run may wait for more to join it.
constexpr std::chrono::milliseconds gatherTime(250);

// Tells the worker that the settling has ended however the settler's coroutine ends.
struct StopWhenDone
{
    std::shared_ptr<StopHandle> handle;
    ~StopWhenDone() { handle->stop(); }
};

} // namespace

bool AppModel::canCopyBesideSettles(const TransferSpec &spec) const
{
    if (m_settling.isEmpty())
        return true;
    // A pull or an install might read what is about to take its name; a push into a folder
    // that is still being settled, or onto the same name, waits for it as well.
    if (spec.kind != TransferJob::Kind::toAndroid)
        return false;
    const QString destination = destinationPath(spec);
    for (const SettlingCopy &copy : m_settling) {
        if (copy.spec.serial == spec.serial && overlaps(destination, destinationPath(copy.spec)))
            return false;
    }
    return true;
}

void AppModel::showFrontJobRunning()
{
    const QUuid front = m_settling.isEmpty() ? m_copyingJob : m_settling.first().id;
    if (front.isNull())
        return;
    updateJob(front, [](TransferJob &job) {
        if (job.state.value() == TransferJob::State::Case::queued)
            job.state = TransferJob::State::running();
    });
}

qsizetype AppModel::settleRunSize(const QList<SettlingCopy> &waiting)
{
    if (waiting.isEmpty())
        return 0;
    const QString serial = waiting.first().spec.serial;
    QList<SettleStep> steps;
    qsizetype samePhone = 0;
    for (const SettlingCopy &copy : waiting) {
        if (copy.spec.serial != serial)
            break;
        ++samePhone;
        if (!copy.token->isCancelled())
            steps << settleStepOf(copy.spec, copy.written);
    }
    // The copies up to the last step that fits, with those cancelled among them.
    qsizetype stepsLeft = settleStepsPerRun(steps);
    qsizetype size = 0;
    for (; size < samePhone; ++size) {
        if (waiting.at(size).token->isCancelled())
            continue;
        if (stepsLeft == 0)
            break;
        --stepsLeft;
    }
    return size;
}

void AppModel::settleBesideNextCopy(const SettlingCopy &copy)
{
    m_settling.append(copy);
    if (m_settlesDone && !m_settlesDone->isStopped()) {
        if (m_settlesGathered && settleRunSize(m_settling) < m_settling.size())
            m_settlesGathered->stop();
        return;
    }
    m_settlesDone = std::make_shared<StopHandle>();
    m_settlesHurried = false;
    launch(settleWhileJobsRun());
}

void AppModel::hurrySettles()
{
    m_settlesHurried = true;
    if (m_settlesGathered)
        m_settlesGathered->stop();
}

QCoro::Task<> AppModel::settleWhileJobsRun()
{
    const QPointer<AppModel> alive(this);
    const StopWhenDone done{m_settlesDone};
    while (!m_settling.isEmpty()) {
        if (!m_settlesHurried && settleRunSize(m_settling) == m_settling.size()) {
            const auto gathered = std::make_shared<StopHandle>();
            m_settlesGathered = gathered;
            co_await gathered->sleep(gatherTime);
            if (!alive)
                co_return;
            m_settlesGathered.reset();
        }
        // The copies of the run settle in order; one cancelled while it waited is removed.
        const QList<SettlingCopy> batch = m_settling.first(settleRunSize(m_settling));
        const QString serial = batch.first().spec.serial;
        QList<SettleStep> steps;
        QList<bool> settles;
        for (const SettlingCopy &copy : batch) {
            settles << !copy.token->isCancelled();
            if (settles.last())
                steps << settleStepOf(copy.spec, copy.written);
        }
        m_settlingTaken = batch.size();
        QList<std::optional<QString>> outcomes;
        if (!steps.isEmpty())
            outcomes = co_await settleOnPhone(serial, steps);
        if (!alive)
            co_return;
        qsizetype step = 0;
        for (qsizetype i = 0; i < batch.size(); ++i) {
            const SettlingCopy &copy = batch.at(i);
            const std::optional<QString> failure = settles.at(i) ? outcomes.at(step++) : cancelledCopyFailure();
            m_settling.removeFirst();
            --m_settlingTaken;
            co_await finishJob(copy.id, copy.spec, copy.written, copy.token, failure, failure.has_value());
            if (!alive)
                co_return;
            showFrontJobRunning();
            // A full run ends a few dozen rows; the window stays responsive between them.
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
            if (!alive)
                co_return;
        }
    }
    // Stopped here, not when the coroutine's frame goes: a copy handed over from now on
    // starts a new settler.
    done.handle->stop();
}

QCoro::Task<> AppModel::settlesFinished()
{
    const QPointer<AppModel> alive(this);
    if (m_settlesDone && !m_settlesDone->isStopped())
        hurrySettles();
    while (alive && m_settlesDone && !m_settlesDone->isStopped()) {
        const std::shared_ptr<StopHandle> done = m_settlesDone;
        co_await qCoro(done.get(), &StopHandle::stopped);
    }
}

void AppModel::settleWithoutRows()
{
    QList<SettlingCopy> waiting = m_settling.mid(m_settlingTaken);
    while (!waiting.isEmpty()) {
        const QString serial = waiting.first().spec.serial;
        QList<SettleStep> steps;
        while (!waiting.isEmpty() && waiting.first().spec.serial == serial) {
            const SettlingCopy copy = waiting.takeFirst();
            if (copy.token->isCancelled())
                discardCopy(copy.spec, copy.written, true);
            else
                steps << settleStepOf(copy.spec, copy.written);
        }
        if (!steps.isEmpty())
            settleOnPhone(serial, steps);
    }
}
