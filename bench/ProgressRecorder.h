#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>

class AppModel;

// Follows the newest row of the transfer list while it runs: each new value of its bar, with
// the time it was shown. Figure 12 asks how many values the user saw and how long the bar
// stood still at most between two of them.
class ProgressRecorder : public QObject
{
public:
    explicit ProgressRecorder(AppModel *model);

    void start();
    void stop();
    int distinctValues() const { return int(m_times.size()); }
    // The longest time between two successive values, in seconds; 0 with fewer than two.
    double largestGap() const;

private:
    void changed();

    AppModel *m_model;
    QMetaObject::Connection m_connection;
    QElapsedTimer m_clock;
    QList<double> m_times;
    double m_last = -1;
};
