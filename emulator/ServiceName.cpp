#include "ServiceName.h"

#include <QList>

std::optional<ServiceName> ServiceName::parse(const QByteArray &name)
{
    ServiceName result;
    if (name == "sync:") {
        result.kind = Sync;
        return result;
    }
    if (name.startsWith("exec:")) {
        result.kind = Exec;
        result.command = name.mid(5);
        return result;
    }
    if (!name.startsWith("shell"))
        return std::nullopt;
    const qsizetype colon = name.indexOf(':');
    if (colon < 0)
        return std::nullopt;
    const QByteArray head = name.left(colon);
    result.command = name.mid(colon + 1);
    if (head != "shell" && !head.startsWith("shell,"))
        return std::nullopt;
    bool raw = false, pty = false;
    const QList<QByteArray> arguments = head.split(',');
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        if (argument == "v2")
            result.protocolV2 = true;
        else if (argument == "raw")
            raw = true;
        else if (argument == "pty")
            pty = true;
        else if (argument.startsWith("TERM="))
            result.term = argument.mid(5);
    }
    // The plain "shell:" service always runs on a terminal. With arguments, an explicit raw or
    // pty decides, and by default only an interactive shell gets a terminal.
    if (arguments.size() == 1)
        result.terminal = true;
    else
        result.terminal = pty || (!raw && result.command.isEmpty());
    return result;
}
