// phone-emulator: the device side of adb over TCP, for tests and for trying the app by hand.

#include "EmulatorOptions.h"
#include "PhoneEmulator.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2];

void onSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--help"))) {
        printf("%s", qPrintable(emulatorUsage()));
        return 0;
    }
    QString error;
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
