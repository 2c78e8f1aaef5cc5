#pragma once

#include "PhoneOptions.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QProcess;

// One run of the adb client: what it printed and how it ended.
struct AdbRun {
    int status = -1;           // exit status; -1 when adb did not start or did not finish in time
    QString output;            // standard output
    QString error;             // standard error
    QByteArray data;           // standard output as bytes
};

// Starts a private adb server and emulated phones for one test, and tears down only what it
// started.
//
// start() picks a free port outside 5555–5585 (the range the adb server scans for emulators),
// sets ANDROID_ADB_SERVER_PORT in this process (so every adb child the app starts talks to the
// private server) and starts the server. addPhone() starts a phone-emulator, runs
// `adb connect 127.0.0.1:PORT` and waits until `adb devices -l` shows the serial in the state
// the options call for ("device", or "unauthorized" with rejectAuth).
//
// The phone's file system is backed by the folder rootOf(serial):
//   /storage/emulated/0/...  (also /sdcard/..., /storage/self/primary/...)
//                            ↔ rootOf(serial) + "/storage/emulated/0/..."
//   /storage/<card id>/...   ↔ rootOf(serial) + "/storage/<card id>/..."
//   /data/local/tmp/...      ↔ rootOf(serial) + "/data/local/tmp/..."
//   /data/app/...            ↔ rootOf(serial) + "/data/app/..." (installed packages)
// hostPath() does that mapping. A new phone's internal storage holds the standard folders
// (Alarms, DCIM, Documents, Download, Movies, Music, Notifications, Pictures, Podcasts,
// Ringtones). With storageMb the internal storage is a tmpfs mounted on
// rootOf(serial) + "/storage/emulated/0" while the phone runs; its contents go with it. A
// phone started by an ordinary user mounts it in its own namespace: hostPath() then leads
// through the phone's /proc/PID/root while the phone runs.
// The server runs with a home folder of its own (its key and log stay out of ~/.android).
//
// The destructor kills the server on its own port (`adb kill-server`), stops the phones and
// removes their folders, and restores ANDROID_ADB_SERVER_PORT.
class PhoneFixture {
public:
    PhoneFixture();
    ~PhoneFixture();
    PhoneFixture(const PhoneFixture &) = delete;
    PhoneFixture &operator=(const PhoneFixture &) = delete;

    // Whether phones can run here: they need adb, toybox and mksh, and either root or user
    // namespaces (an ordinary user's phone runs in a user namespace of its own). When not,
    // reason says what is missing (tests may then skip).
    static bool isSupported(QString *reason = nullptr);

    bool start();
    // Returns the serial "127.0.0.1:PORT", or an empty string when the phone did not come up
    // (errorString() says why).
    QString addPhone(const PhoneOptions &options = {});
    QString rootOf(const QString &serial) const;
    QString hostPath(const QString &serial, const QString &phonePath) const;
    // Ends the phone's process; adb then lists the serial as "offline" until it comes back.
    void stopPhone(const QString &serial);
    // Starts a stopped phone again on the same port and folder and waits until adb uses it.
    bool restartPhone(const QString &serial);
    // Freezes the phone's process (SIGSTOP): it stays connected but answers nothing, so data
    // stops flowing; resumePhone lets it go on where it was (SIGCONT).
    void pausePhone(const QString &serial);
    void resumePhone(const QString &serial);

    QString adbPath() const;
    int serverPort() const { return m_serverPort; }
    // The environment for adb children: this process's environment plus the private port.
    QProcessEnvironment environment() const;
    // Runs adb with the fixture's environment and waits for it (up to timeoutMs).
    AdbRun adb(const QStringList &arguments, int timeoutMs = 30000,
               const QByteArray &input = {}) const;
    QString errorString() const { return m_error; }

private:
    struct Phone;
    bool startServer();
    bool launch(Phone &phone);
    bool waitForState(const QString &serial, const QString &state, int timeoutMs);
    // Connects the server to the phone and waits until it lists it as ready (or as
    // unauthorized, for a phone that rejects the key).
    bool connectPhone(const QString &serial, bool rejectsAuth);
    // "/proc/PID/root" of a running phone whose mounts are not this process's, else empty.
    static QString privateView(const Phone &phone);
    void terminate(Phone &phone);

    QTemporaryDir m_dir;
    QString m_adb;
    int m_serverPort = 0;
    QProcess *m_server = nullptr;
    QMap<QString, std::shared_ptr<Phone>> m_phones;
    QByteArray m_previousPort;
    bool m_hadPreviousPort = false;
    bool m_portReplaced = false;
    bool m_started = false;
    QString m_error;
};
