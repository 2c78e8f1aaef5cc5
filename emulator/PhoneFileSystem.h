#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Where the phone's paths live on this computer.
//
// The phone's storage mirrors its own paths inside the root folder: /storage/emulated/0,
// /storage/<card id>, /data/local/tmp and /data/app (the installed packages) are root + the
// same path. /sdcard and
// /storage/self/primary are links to /storage/emulated/0. Everything else (/system, /storage
// itself, /) comes from the system image folder that the shell is chrooted into.
class PhoneFileSystem {
public:
    static constexpr const char *Internal = "/storage/emulated/0";
    static constexpr const char *LocalTmp = "/data/local/tmp";
    static constexpr const char *Apps = "/data/app";

    PhoneFileSystem(QString root, QString systemImage, QStringList cards, QStringList denyPaths);

    // Normalises a phone path: resolves "." and "..", and the links to the internal storage.
    static QString normalized(const QString &phonePath);
    // The folders below root that back the phone's storage (phone paths).
    QStringList backedFolders() const;
    // The host path of a phone path.
    QByteArray hostPath(const QString &phonePath) const;
    // Phone paths of denied folders (normalised).
    QStringList deniedFolders() const { return m_deny; }
    // The path lies strictly inside a denied folder: it cannot be reached.
    bool isInsideDenied(const QString &phonePath) const;
    bool isDeniedFolder(const QString &phonePath) const;

    QString root() const { return m_root; }
    QString systemImage() const { return m_systemImage; }
    QStringList cards() const { return m_cards; }

private:
    QString m_root;
    QString m_systemImage;
    QStringList m_cards;
    QStringList m_deny;
};
