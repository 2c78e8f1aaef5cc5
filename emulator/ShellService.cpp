#include "ShellService.h"

#include "ChildProcess.h"
#include "Connection.h"
#include "EmulatorContext.h"
#include "ShellProtocol.h"

namespace {

// Output waiting for the host beyond this pauses the command.
constexpr qsizetype MaxBacklog = 2 * 1024 * 1024;

}

ShellService::ShellService(Connection *connection, quint32 localId, quint32 remoteId, ServiceName name)
    : Service(connection, localId, remoteId), m_name(std::move(name))
{
}

ShellService::~ShellService()
{
    delete m_child;
}

void ShellService::start()
{
    QList<QByteArray> argv{"/system/bin/sh"};
    if (!m_name.command.isEmpty())
        argv << "-c" << m_name.command;
    QList<QByteArray> env = context().shellEnvironment;
    env << "TERM=" + (m_name.term.isEmpty() ? QByteArray("dumb") : m_name.term);

    const auto streams = m_name.terminal ? ChildProcess::Streams::Terminal
        : (m_name.protocolV2 ? ChildProcess::Streams::Separate : ChildProcess::Streams::Merged);
    m_child = new ChildProcess(this);
    connect(m_child, &ChildProcess::output, this, &ShellService::childOutput);
    connect(m_child, &ChildProcess::finished, this, &ShellService::childFinished);
    connect(m_child, &ChildProcess::inputWritten, this, &ShellService::inputWritten);
    if (!m_child->start(context().sandbox, argv, env, streams)) {
        const QByteArray message = "phone-emulator: cannot start the shell: " + m_child->errorString().toUtf8() + "\n";
        if (m_name.protocolV2)
            send(ShellProtocol::encode(ShellProtocol::Stderr, message) + ShellProtocol::encode(ShellProtocol::Exit, QByteArray(1, char(1))));
        else
            send(message);
        finish();
    }
}

void ShellService::received(QByteArrayView data)
{
    if (!m_child) {
        acknowledge(data.size());
        return;
    }
    m_unacknowledged += data.size();
    if (!m_name.protocolV2) {
        m_child->writeInput(data.toByteArray());
        return;
    }
    m_packets += data;
    QByteArray input;
    while (const auto packet = ShellProtocol::take(m_packets)) {
        switch (packet->id) {
        case ShellProtocol::Stdin:
            input += packet->data;
            break;
        case ShellProtocol::CloseStdin:
            if (!input.isEmpty())
                m_child->writeInput(std::exchange(input, {}));
            m_child->closeInput();
            break;
        case ShellProtocol::WindowSize:
            if (const auto size = ShellProtocol::parseWindowSize(packet->data))
                m_child->setWindowSize(size->rows, size->cols, size->xPixels, size->yPixels);
            break;
        default:
            break;
        }
    }
    m_child->writeInput(input);
}

void ShellService::inputWritten()
{
    if (m_unacknowledged > 0)
        acknowledge(std::exchange(m_unacknowledged, 0));
}

void ShellService::childOutput(int channel, const QByteArray &data)
{
    if (m_name.protocolV2)
        send(ShellProtocol::encode(channel == 2 ? ShellProtocol::Stderr : ShellProtocol::Stdout, data));
    else
        send(data);
    if (backlog() > MaxBacklog && !m_outputPaused) {
        m_outputPaused = true;
        m_child->setOutputPaused(true);
    }
}

void ShellService::readyForMore()
{
    if (m_outputPaused && m_child) {
        m_outputPaused = false;
        m_child->setOutputPaused(false);
    }
}

void ShellService::childFinished(int exitCode)
{
    if (m_name.protocolV2)
        send(ShellProtocol::encode(ShellProtocol::Exit, QByteArray(1, char(exitCode & 0xff))));
    finish();
}

void ShellService::peerClosed()
{
    if (m_child)
        m_child->kill();
}
