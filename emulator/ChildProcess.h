#pragma once

#include "Sandbox.h"

#include <QByteArray>
#include <QList>
#include <QObject>

class QSocketNotifier;

// A shell command running in the phone's sandbox, with its standard streams connected either
// to pipes (stdout and stderr apart, or merged) or to a pseudo-terminal.
class ChildProcess : public QObject {
    Q_OBJECT
public:
    enum class Streams { Separate, Merged, Terminal };

    explicit ChildProcess(QObject *parent = nullptr);
    ~ChildProcess() override;

    // argv[0] is the program's path inside the sandbox. Returns false (with errorString) when
    // the process could not be created.
    bool start(const SandboxPlan &plan, const QList<QByteArray> &argv, const QList<QByteArray> &env,
               Streams streams);
    void writeInput(const QByteArray &data);
    void closeInput();
    // Stops reading the child's output while the reader is busy (the child then blocks).
    void setOutputPaused(bool paused);
    void setWindowSize(int rows, int cols, int xPixels, int yPixels);
    // Kills the command and everything it started.
    void kill();
    QString errorString() const { return m_error; }

signals:
    void output(int channel, const QByteArray &data); // 1 stdout, 2 stderr
    void inputWritten();                              // the input buffer has drained
    // The process has exited and all its output was delivered. exitCode is 128 + the signal
    // number for a killed process.
    void finished(int exitCode);

private:
    struct Reader {
        int fd = -1;
        int channel = 1;
        QSocketNotifier *notifier = nullptr;
    };
    void readFrom(Reader &reader);
    void closeReader(Reader &reader);
    void flushInput();
    void reap();
    void finishIfDone();

    pid_t m_pid = -1;
    int m_pidFd = -1;
    QSocketNotifier *m_exitNotifier = nullptr;
    Reader m_readers[2];
    int m_inputFd = -1;
    bool m_inputIsTerminal = false;
    QSocketNotifier *m_inputNotifier = nullptr;
    QByteArray m_pendingInput;
    bool m_closeInputWhenDrained = false;
    bool m_paused = false;
    bool m_exited = false;
    bool m_finished = false;
    int m_exitCode = 0;
    QString m_error;
};
