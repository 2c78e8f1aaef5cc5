#pragma once

#include "bridge/CancelToken.h"
#include "bridge/ProcessResult.h"
#include "bridge/RunMode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class TerminalReader;

// One run of a child process on the thread's event loop: both output streams are read as
// data arrives (a pseudo-terminal through a TerminalReader), `done()` is emitted once the
// child has exited and its streams are drained. `onOutput` gets standard output's bytes
// as they arrive, `onChunk` their text.
// Used by ADB::run; lives on the thread that created it.
class ChildProcess : public QObject
{
    Q_OBJECT
public:
    ChildProcess(QString program, QStringList args, CancelTokenPtr token,
                 std::function<void(const QString &)> onChunk, RunMode mode,
                 std::function<void(qint64)> onStarted = {},
                 std::function<void(QByteArrayView)> onOutput = {});
    ~ChildProcess() override;

    void start();
    bool isDone() const { return m_done; }
    // The system's reason when the child could not be started.
    std::optional<QString> startError() const { return m_startError; }
    ProcessResult result() const;

Q_SIGNALS:
    void done();

private:
    void onStarted();
    void onErrorOccurred(QProcess::ProcessError error);
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void readStandardOutput();
    void readStandardError();
    void takeOutput(const QByteArray &bytes);
    void deliver(const QByteArray &bytes);
    bool openTerminal();
    void closeTerminal();
    void finishIfComplete();

    QProcess m_process;
    CancelTokenPtr m_token;
    std::function<void(const QString &)> m_onChunk;
    RunMode m_mode;
    std::function<void(qint64)> m_onStarted;
    std::function<void(QByteArrayView)> m_onOutput;
    qint64 m_pid = 0;

    QByteArray m_out;
    QByteArray m_err;
    int m_status = 0;
    bool m_exited = false;
    bool m_done = false;
    std::optional<QString> m_startError;

    int m_master = -1;
    int m_slave = -1;
    bool m_terminalAtEnd = true;
    std::unique_ptr<TerminalReader> m_terminalReader;
};
