#include "ProgressRecorder.h"

#include "Bench.h"

#include "model/AppModel.h"

#include <algorithm>

ProgressRecorder::ProgressRecorder(AppModel *model) : m_model(model) {}

void ProgressRecorder::start()
{
    m_times.clear();
    m_last = -1;
    m_clock.start();
    m_connection = connect(m_model, &AppModel::transfersChanged, this, &ProgressRecorder::changed);
}

void ProgressRecorder::stop()
{
    disconnect(m_connection);
}

void ProgressRecorder::changed()
{
    const QList<TransferJob> jobs = m_model->transfers();
    if (jobs.isEmpty() || jobs.first().state.value() != TransferJob::State::Case::running)
        return;
    const double progress = jobs.first().progress;
    if (progress == m_last)
        return;
    m_last = progress;
    m_times.append(elapsedSeconds(m_clock));
}

double ProgressRecorder::largestGap() const
{
    double gap = 0;
    for (qsizetype i = 1; i < m_times.size(); ++i)
        gap = std::max(gap, m_times.at(i) - m_times.at(i - 1));
    return gap;
}
