#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <optional>

// Stand-ins for the desktop services that record what the model asked of them. Each test
// installs the ones it needs and restores the real ones when done.

class RecordingTrash : public Trash
{
public:
    QSet<QString> refused; // paths that fail with a sentence naming them
    QStringList asked;

    std::optional<QString> moveToTrash(const QString &path) override
    {
        asked.append(path);
        if (refused.contains(path))
            return QStringLiteral("Cannot trash ") + path;
        return std::nullopt;
    }
};

class RecordingLauncher : public Launcher
{
public:
    QList<QUrl> opened;
    bool open(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }
};

class RecordingAccessSettings : public AccessSettings
{
public:
    QStringList folders;
    void openFullDiskAccessSettings(const QString &blockedFolder) override
    {
        folders.append(blockedFolder);
    }
};

struct PostedNotification
{
    QString title;
    QString body;
};

class RecordingNotifier : public Notifier
{
public:
    bool available = true;
    QList<PostedNotification> posted;
    bool canNotify() override { return available; }
    void notify(const QString &title, const QString &body, bool) override
    {
        posted.append({title, body});
    }
};

class RecordingEjector : public Ejector
{
public:
    std::optional<QString> failure;
    QStringList ejected;
    QCoro::Task<std::optional<QString>> eject(const QString &mountPath) override
    {
        ejected.append(mountPath);
        co_return failure;
    }
};

// Installs recording services for the life of a test and puts the real ones back after.
class PlatformScope
{
public:
    PlatformScope() = default;
    ~PlatformScope() { Platform::instance().restoreDefaults(); }
    PlatformScope(const PlatformScope &) = delete;
    PlatformScope &operator=(const PlatformScope &) = delete;

    RecordingTrash *trash() { return install(&Platform::setTrash, std::make_unique<RecordingTrash>()); }
    RecordingLauncher *launcher()
    {
        return install(&Platform::setLauncher, std::make_unique<RecordingLauncher>());
    }
    RecordingAccessSettings *accessSettings()
    {
        return install(&Platform::setAccessSettings, std::make_unique<RecordingAccessSettings>());
    }
    RecordingNotifier *notifier()
    {
        return install(&Platform::setNotifier, std::make_unique<RecordingNotifier>());
    }
    RecordingEjector *ejector()
    {
        return install(&Platform::setEjector, std::make_unique<RecordingEjector>());
    }

private:
    template<typename Base, typename Fake>
    Fake *install(void (Platform::*setter)(std::unique_ptr<Base>), std::unique_ptr<Fake> fake)
    {
        Fake *raw = fake.get();
        (Platform::instance().*setter)(std::move(fake));
        return raw;
    }
};
