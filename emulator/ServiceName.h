#pragma once

#include <QByteArray>
#include <optional>

// The service string of an OPEN: "shell[,ARGS]:COMMAND", "exec:COMMAND" or "sync:".
struct ServiceName {
    enum Kind { Shell, Exec, Sync };
    Kind kind = Shell;
    bool protocolV2 = false;   // "v2" among the shell arguments: packets with separate streams
    bool terminal = false;     // run on a pseudo-terminal
    QByteArray term;           // TERM=... among the shell arguments
    QByteArray command;        // empty: an interactive shell

    static std::optional<ServiceName> parse(const QByteArray &name);
};
