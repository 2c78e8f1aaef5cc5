#pragma once

#include "Table.h"

#include "model/transfer/TransferJob.h"

#include <QElapsedTimer>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>

class AppModel;
class MainWindow;
class PhoneFixture;

// One benchmark run: an emulated phone behind the real adb over loopback, the model with its
// window (offscreen), and each figure measured `runs` times beside the bare tool, Tessary and
// the reference taking turns so that drift on a shared machine hits both alike.
class Bench
{
public:
    struct Options
    {
        int runs = 3;
        QSet<int> only; // empty: every figure
        bool window = true; // the main window on the model during the figures
        // Every file count and size divided by this, to check that the figures work (their
        // values then say nothing about the goals).
        int shrink = 1;
    };

    explicit Bench(Options options);
    ~Bench();

    // Starts the phone, the model and the window; false with `error` set when that fails.
    bool setUp(QString *error);
    QList<FigureRow> run();

private:
    bool wanted(int figure) const { return m_options.only.isEmpty() || m_options.only.contains(figure); }

    // The times of one copy figure, push and pull, Tessary's and bare adb's, two per run.
    struct CopyTimes
    {
        QList<double> push, pushBare, pull, pullBare;
    };
    // Figures 1 (push and pull of 1 GiB), 6 (the worst main-thread stall meanwhile) and 12 (how
    // often the row's bar moves during the push).
    QList<FigureRow> bigFileFigures();
    // Figure 2: a folder of many small files, push and pull.
    QList<FigureRow> smallFilesFigures();
    // Figures 1 and 2 again over a link throttled to `MBps` (figure 10: USB 2, 11: USB 3).
    QList<FigureRow> throttledFigures(int figure, double MBps);
    // Runs of figures 1 and 2 on the current phone. `around` (when given) is called around each
    // of Tessary's runs of the 1 GiB file: with true before it, false after it.
    using AroundJob = std::function<void(TransferJob::Kind kind, bool starting)>;
    CopyTimes timeBigFile(const QString &figure, const AroundJob &around = {});
    CopyTimes timeSmallFiles(const QString &figure);
    // `local` pushed to the phone's bench folder and pulled back, by Tessary and by bare adb,
    // in both orders in every run.
    CopyTimes timeCopies(const QString &figure, const QString &local, const AroundJob &around = {});
    // Figure 9: a batch of 1,000 small files through the queue, and the main thread meanwhile.
    QList<FigureRow> batchFigures();
    // Figure 13: the window's first paint of 100,000 phone rows and a click on a column header.
    QList<FigureRow> windowFigures();
    FigureRow listingFigure();
    FigureRow backupScanFigure();
    FigureRow computerPaneFigure();
    FigureRow memoryFigure();
    FigureRow cancelFigure();

    // The phone folder of 100,000 entries (figures 3, 7 and 13), made on first use.
    QString crowdedPhoneFolder();

    // Queues one copy through the model and waits until its row is finished; the seconds
    // from enqueue to the row's done. Throws when it ends otherwise.
    double timeJob(const QString &source, TransferJob::Kind kind, const QString &destDir);
    // Makes `serial` the phone of the figures and of the model's phone pane.
    void usePhone(const QString &serial);
    // Sizes of the figures, after Options::shrink.
    qint64 shrunk(qint64 size) const { return std::max<qint64>(1, size / m_options.shrink); }
    // Seconds a bare adb run with these arguments takes, output discarded. Throws on failure.
    double timeAdb(const QStringList &arguments);
    // The model's worker has finished its follow-up reloads and nothing is queued.
    void waitIdle();
    // Where the phone folder `phonePath` lives on this computer.
    QString onPhone(const QString &phonePath) const;

    Options m_options;
    QTemporaryDir m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    QString m_serial;       // the phone the figures use now
    QString m_fastSerial;   // the phone behind a loopback link without throttle
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    // The 10 ms timer's worst lateness of every Tessary run of figure 1, in seconds.
    QList<double> m_stalls;
};

// What a child process started by the memory figure does: shows the window with the phone
// pane at `phonePath` (expecting `rows` rows) and prints its resident set size. Returns the
// process's exit status.
int memoryChild(const QString &serial, const QString &phonePath, int rows);

// Seconds since `timer` started, with nanosecond resolution.
inline double elapsedSeconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}
