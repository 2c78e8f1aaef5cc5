#include "ChildProcess.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

void setNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

std::vector<char *> pointers(QList<QByteArray> &strings)
{
    std::vector<char *> result;
    for (QByteArray &s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

}

ChildProcess::ChildProcess(QObject *parent) : QObject(parent) {}

ChildProcess::~ChildProcess()
{
    kill();
    if (m_pid > 0 && !m_exited)
        waitpid(m_pid, nullptr, 0);
    for (Reader &reader : m_readers)
        closeReader(reader);
    delete m_inputNotifier;
    if (m_inputFd >= 0)
        ::close(m_inputFd);
    delete m_exitNotifier;
    if (m_pidFd >= 0)
        ::close(m_pidFd);
}

bool ChildProcess::start(const SandboxPlan &plan, const QList<QByteArray> &argv,
                         const QList<QByteArray> &env, Streams streams)
{
    int childIn = -1, childOut = -1, childErr = -1;
    int terminal = -1;
    if (streams == Streams::Terminal) {
        int master = -1, slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
            m_error = QString::fromLocal8Bit(strerror(errno));
            return false;
        }
        fcntl(master, F_SETFD, FD_CLOEXEC);
        m_readers[0].fd = master;
        m_inputFd = master;
        m_inputIsTerminal = true;
        terminal = slave;
    } else {
        int in[2], out[2], err[2] = {-1, -1};
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0
            || (streams == Streams::Separate && pipe2(err, O_CLOEXEC) != 0)) {
            m_error = QString::fromLocal8Bit(strerror(errno));
            return false;
        }
        childIn = in[0];
        m_inputFd = in[1];
        childOut = out[1];
        m_readers[0].fd = out[0];
        if (streams == Streams::Separate) {
            childErr = err[1];
            m_readers[1].fd = err[0];
            m_readers[1].channel = 2;
        } else {
            childErr = out[1];
        }
    }

    QList<QByteArray> args = argv;
    QList<QByteArray> environment = env;
    std::vector<char *> argvPointers = pointers(args);
    std::vector<char *> envPointers = pointers(environment);

    m_pid = fork();
    if (m_pid < 0) {
        m_error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    if (m_pid == 0) {
        sigset_t all;
        sigemptyset(&all);
        sigprocmask(SIG_SETMASK, &all, nullptr);
        for (int sig : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD})
            signal(sig, SIG_DFL);
        setsid();
        // The command goes when the phone does, even if the phone is killed outright.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (terminal >= 0) {
            ioctl(terminal, TIOCSCTTY, 0);
            childIn = childOut = childErr = terminal;
        }
        dup2(childIn, STDIN_FILENO);
        dup2(childOut, STDOUT_FILENO);
        dup2(childErr, STDERR_FILENO);
        close_range(3, ~0u, 0);
        execInSandbox(plan, argvPointers.data(), envPointers.data());
    }

    for (int fd : {childIn, childOut, childErr == childOut ? -1 : childErr, terminal}) {
        if (fd >= 0)
            ::close(fd);
    }
    m_pidFd = int(syscall(SYS_pidfd_open, m_pid, 0));
    m_exitNotifier = new QSocketNotifier(m_pidFd, QSocketNotifier::Read, this);
    connect(m_exitNotifier, &QSocketNotifier::activated, this, &ChildProcess::reap);

    for (Reader &reader : m_readers) {
        if (reader.fd < 0)
            continue;
        setNonBlocking(reader.fd);
        reader.notifier = new QSocketNotifier(reader.fd, QSocketNotifier::Read, this);
        connect(reader.notifier, &QSocketNotifier::activated, this, [this, &reader] { readFrom(reader); });
    }
    setNonBlocking(m_inputFd);
    m_inputNotifier = new QSocketNotifier(m_inputFd, QSocketNotifier::Write, this);
    m_inputNotifier->setEnabled(false);
    connect(m_inputNotifier, &QSocketNotifier::activated, this, &ChildProcess::flushInput);
    return true;
}

void ChildProcess::readFrom(Reader &reader)
{
    char buffer[65536];
    const ssize_t n = ::read(reader.fd, buffer, sizeof buffer);
    if (n > 0) {
        emit output(reader.channel, QByteArray(buffer, n));
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // End of file; a terminal's master reports EIO once every holder of the slave is gone.
    closeReader(reader);
    finishIfDone();
}

void ChildProcess::closeReader(Reader &reader)
{
    if (reader.fd < 0)
        return;
    delete reader.notifier;
    reader.notifier = nullptr;
    if (reader.fd == m_inputFd) {
        m_inputFd = -1;
        delete m_inputNotifier;
        m_inputNotifier = nullptr;
    }
    ::close(reader.fd);
    reader.fd = -1;
}

void ChildProcess::writeInput(const QByteArray &data)
{
    if (m_inputFd < 0 || m_closeInputWhenDrained) {
        emit inputWritten();
        return;
    }
    m_pendingInput += data;
    flushInput();
}

void ChildProcess::closeInput()
{
    if (m_inputIsTerminal)
        return;
    m_closeInputWhenDrained = true;
    flushInput();
}

void ChildProcess::flushInput()
{
    if (m_inputFd < 0)
        return;
    while (!m_pendingInput.isEmpty()) {
        const ssize_t n = ::write(m_inputFd, m_pendingInput.constData(), size_t(m_pendingInput.size()));
        if (n < 0 && errno == EAGAIN) {
            m_inputNotifier->setEnabled(true);
            return;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            // The command no longer reads its input (EPIPE): what it did not take is dropped.
            m_pendingInput.clear();
            break;
        }
        m_pendingInput.remove(0, n);
    }
    m_inputNotifier->setEnabled(false);
    if (m_closeInputWhenDrained && !m_inputIsTerminal) {
        delete m_inputNotifier;
        m_inputNotifier = nullptr;
        ::close(m_inputFd);
        m_inputFd = -1;
    }
    emit inputWritten();
}

void ChildProcess::setOutputPaused(bool paused)
{
    m_paused = paused;
    for (Reader &reader : m_readers) {
        if (reader.notifier)
            reader.notifier->setEnabled(!paused);
    }
}

void ChildProcess::setWindowSize(int rows, int cols, int xPixels, int yPixels)
{
    if (!m_inputIsTerminal || m_inputFd < 0)
        return;
    winsize size{quint16(rows), quint16(cols), quint16(xPixels), quint16(yPixels)};
    ioctl(m_inputFd, TIOCSWINSZ, &size);
}

void ChildProcess::kill()
{
    if (m_pid > 0 && !m_exited)
        ::kill(-m_pid, SIGKILL);
}

void ChildProcess::reap()
{
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid)
        return;
    m_exited = true;
    m_exitNotifier->setEnabled(false);
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    finishIfDone();
}

void ChildProcess::finishIfDone()
{
    if (m_finished || !m_exited || m_readers[0].fd >= 0 || m_readers[1].fd >= 0)
        return;
    m_finished = true;
    emit finished(m_exitCode);
}
