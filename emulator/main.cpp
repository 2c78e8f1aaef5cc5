// phone-emulator: the device side of adb over TCP, for trying Tessary without a phone and for
// the tests.

#include "EmulatorOptions.h"
#include "PhoneEmulator.h"
#include "PrivateNamespace.h"
#include "SystemImage.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

int signalPipe[2];

void onSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

bool hasArgument(int argc, char *argv[], const char *name)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

}

int main(int argc, char *argv[])
{
    if (hasArgument(argc, argv, "--help")) {
        printf("%s", qPrintable(emulatorUsage()));
        return 0;
    }
    // First of all: a process can enter a user namespace only while it has a single thread.
    QString error;
    if (!enterPrivateNamespace(error)) {
        fprintf(stderr, "phone-emulator: %s\n", qPrintable(error));
        return 1;
    }
    QCoreApplication app(argc, argv);
    if (hasArgument(argc, argv, "--check")) {
        QString toybox, mksh;
        if (!canMakeSandbox(error) || !findUserland(toybox, mksh, error)) {
            fprintf(stderr, "phone-emulator: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    const std::optional<EmulatorOptions> options = parseEmulatorOptions(app.arguments().mid(1), error);
    if (!options) {
        fprintf(stderr, "phone-emulator: %s\n%s", qPrintable(error), qPrintable(emulatorUsage()));
        return 2;
    }

    // A stop request ends the event loop so that the phone cleans up (children, storage).
    if (pipe(signalPipe) != 0)
        return 1;
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        signal(sig, onSignal);
    signal(SIGPIPE, SIG_IGN);

    PhoneEmulator phone(*options);
    quint16 port = 0;
    if (!phone.setUp(error) || !(port = phone.listen(error))) {
        fprintf(stderr, "phone-emulator: %s\n", qPrintable(error));
        return 1;
    }
    printf("phone-emulator listening on 127.0.0.1:%u\n", unsigned(port));
    fflush(stdout);
    return app.exec();
}
