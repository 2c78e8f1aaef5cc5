#include "bridge/ChildProcess.h"

#include "bridge/TerminalReader.h"
#include "bridge/TerminalText.h"

#include <QProcessEnvironment>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

ChildProcess::ChildProcess(QString program, QStringList args, CancelTokenPtr token,
                           std::function<void(const QString &)> onChunk, RunMode mode,
                           std::function<void(qint64)> onStarted, std::function<void(QByteArrayView)> onOutput)
    : m_token(std::move(token)), m_onChunk(std::move(onChunk)), m_mode(mode), m_onStarted(std::move(onStarted)),
      m_onOutput(std::move(onOutput))
{
    m_process.setProgram(program);
    m_process.setArguments(args);
    // Standard input never comes from our own terminal: adb would forward what the user
    // types to the phone, and push/pull size their progress lines by stdin's width.
    m_process.setStandardInputFile(QProcess::nullDevice());

    QObject::connect(&m_process, &QProcess::started, this, &ChildProcess::onStarted);
    QObject::connect(&m_process, &QProcess::errorOccurred, this, &ChildProcess::onErrorOccurred);
    QObject::connect(&m_process, &QProcess::finished, this, &ChildProcess::onFinished);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, this, &ChildProcess::readStandardOutput);
    QObject::connect(&m_process, &QProcess::readyReadStandardError, this, &ChildProcess::readStandardError);
}

ChildProcess::~ChildProcess()
{
    QObject::disconnect(&m_process, nullptr, this, nullptr);
    if (m_token && m_pid > 0)
        m_token->detach(m_pid);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
    closeTerminal();
}

void ChildProcess::start()
{
    if (m_mode == RunMode::Terminal) {
        if (!openTerminal()) {
            m_startError = QStringLiteral("Could not open a pseudo-terminal: %1")
                               .arg(QString::fromLocal8Bit(strerror(errno)));
            m_done = true;
            emit done();
            return;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString term = env.value(QStringLiteral("TERM"));
        if (term.isEmpty() || term == QLatin1String("dumb"))
            env.insert(QStringLiteral("TERM"), QStringLiteral("xterm"));
        m_process.setProcessEnvironment(env);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        const int slave = m_slave;
        m_process.setChildProcessModifier([slave] { ::dup2(slave, STDOUT_FILENO); });
    }
    m_process.start(QIODevice::ReadOnly);
}

bool ChildProcess::openTerminal()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return false;
    char name[128];
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0
        || ::ptsname_r(m_master, name, sizeof name) != 0) {
        closeTerminal();
        return false;
    }
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        closeTerminal();
        return false;
    }
    // No output post-processing: lines keep their "\n" ends as through a pipe.
    termios attributes {};
    if (::tcgetattr(m_slave, &attributes) == 0) {
        attributes.c_oflag &= ~OPOST;
        attributes.c_lflag &= ~ECHO;
        ::tcsetattr(m_slave, TCSANOW, &attributes);
    }
    m_terminalAtEnd = false;
    return true;
}

void ChildProcess::closeTerminal()
{
    m_terminalReader.reset();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

void ChildProcess::onStarted()
{
    // Only the child may hold the terminal's other end, so the master reads end of
    // stream once the child (and anything it passed the terminal to) is gone.
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    if (m_master >= 0) {
        m_terminalReader = std::make_unique<TerminalReader>(m_master);
        QObject::connect(m_terminalReader.get(), &TerminalReader::received, this,
                         [this](const QByteArray &bytes) { takeOutput(bytes); });
        QObject::connect(m_terminalReader.get(), &TerminalReader::ended, this, [this] {
            m_terminalAtEnd = true;
            finishIfComplete();
        });
    }
    m_pid = m_process.processId();
    if (m_token)
        m_token->attach(m_pid);
    if (m_onStarted)
        m_onStarted(m_pid);
}

void ChildProcess::onErrorOccurred(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || m_done)
        return;
    m_startError = m_process.errorString();
    closeTerminal();
    m_terminalAtEnd = true;
    m_done = true;
    emit done();
}

void ChildProcess::onFinished(int exitCode, QProcess::ExitStatus)
{
    // QProcess drained both pipes before reporting the exit; on a crash exit its exit code
    // is the signal's number.
    readStandardOutput();
    readStandardError();
    if (m_token && m_pid > 0)
        m_token->detach(m_pid);
    m_status = exitCode;
    m_exited = true;
    finishIfComplete();
}

void ChildProcess::finishIfComplete()
{
    if (m_done || !m_exited || !m_terminalAtEnd)
        return;
    m_done = true;
    emit done();
}

void ChildProcess::readStandardOutput()
{
    const QByteArray bytes = m_process.readAllStandardOutput();
    if (!bytes.isEmpty())
        takeOutput(bytes);
}

void ChildProcess::readStandardError()
{
    const QByteArray bytes = m_process.readAllStandardError();
    if (bytes.isEmpty())
        return;
    m_err += bytes;
    deliver(bytes);
}

void ChildProcess::takeOutput(const QByteArray &bytes)
{
    m_out += bytes;
    if (m_onOutput)
        m_onOutput(bytes);
    deliver(bytes);
}

void ChildProcess::deliver(const QByteArray &bytes)
{
    if (!m_onChunk || !QByteArrayView(bytes).isValidUtf8())
        return;
    QString text = QString::fromUtf8(bytes);
    if (m_mode == RunMode::Terminal)
        text = stripTerminalEscapes(text);
    if (!text.isEmpty())
        m_onChunk(text);
}

ProcessResult ChildProcess::result() const
{
    ProcessResult result;
    result.status = m_status;
    result.output = QString::fromUtf8(m_out);
    result.error = QString::fromUtf8(m_err);
    result.data = m_out;
    if (m_mode == RunMode::Terminal)
        result.output = stripTerminalEscapes(result.output);
    return result;
}
