#pragma once

// Recording stand-ins for every desktop service, for tests of code that calls Platform.
// A RecordingPlatform installs all of them on construction and puts the desktop's own
// services back when it goes away:
//
//     RecordingPlatform platform;
//     platform.trash->failures.insert("/tmp/x/locked", "“locked” couldn't be moved ...");
//     model.trashMac({...});
//     QCOMPARE(platform.trash->paths, ...);

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>

struct RecordingTrash : Trash
{
    QStringList paths;                // every path asked for, in order
    QHash<QString, QString> failures; // path -> error sentence to answer with
    std::optional<QString> moveToTrash(const QString &path) override
    {
        paths.append(path);
        if (const auto it = failures.constFind(path); it != failures.constEnd())
            return it.value();
        return std::nullopt;
    }
};

struct RecordingLauncher : Launcher
{
    QList<QUrl> urls;
    bool accept = true;
    bool open(const QUrl &url) override
    {
        urls.append(url);
        return accept;
    }
};

struct RecordingFileBrowser : FileBrowser
{
    QStringList revealed;       // every path asked for, in order
    QList<QStringList> requests; // the paths of each request
    void reveal(const QStringList &paths) override
    {
        revealed.append(paths);
        requests.append(paths);
    }
};

struct RecordingNotifier : Notifier
{
    struct Posted
    {
        QString title;
        QString body;
        bool withSound = false;
    };
    bool available = true;
    QList<Posted> posted;
    bool canNotify() override { return available; }
    void notify(const QString &title, const QString &body, bool withSound) override
    {
        posted.append({title, body, withSound});
    }
    QStringList bodies() const
    {
        QStringList texts;
        for (const Posted &notice : posted)
            texts.append(notice.body);
        return texts;
    }
};

struct RecordingAttention : Attention
{
    int requests = 0;
    void request() override { ++requests; }
};

struct RecordingAccessSettings : AccessSettings
{
    QStringList folders;
    void openFullDiskAccessSettings(const QString &blockedFolder) override { folders.append(blockedFolder); }
};

struct RecordingEjector : Ejector
{
    QStringList mountPaths;
    QHash<QString, QString> failures; // mount path -> the tool's message
    QCoro::Task<std::optional<QString>> eject(const QString &mountPath) override
    {
        mountPaths.append(mountPath);
        std::optional<QString> result;
        if (const auto it = failures.constFind(mountPath); it != failures.constEnd())
            result = it.value();
        co_return result;
    }
};

class RecordingPlatform
{
public:
    RecordingPlatform()
    {
        Platform &platform = Platform::instance();
        platform.setTrash(std::unique_ptr<Trash>(trash = new RecordingTrash));
        platform.setLauncher(std::unique_ptr<Launcher>(launcher = new RecordingLauncher));
        platform.setFileBrowser(std::unique_ptr<FileBrowser>(fileBrowser = new RecordingFileBrowser));
        platform.setNotifier(std::unique_ptr<Notifier>(notifier = new RecordingNotifier));
        platform.setAttention(std::unique_ptr<Attention>(attention = new RecordingAttention));
        platform.setAccessSettings(std::unique_ptr<AccessSettings>(accessSettings = new RecordingAccessSettings));
        platform.setEjector(std::unique_ptr<Ejector>(ejector = new RecordingEjector));
    }
    ~RecordingPlatform() { Platform::instance().restoreDefaults(); }
    RecordingPlatform(const RecordingPlatform &) = delete;
    RecordingPlatform &operator=(const RecordingPlatform &) = delete;

    // Owned by Platform::instance() until the destructor puts the defaults back.
    RecordingTrash *trash = nullptr;
    RecordingLauncher *launcher = nullptr;
    RecordingFileBrowser *fileBrowser = nullptr;
    RecordingNotifier *notifier = nullptr;
    RecordingAttention *attention = nullptr;
    RecordingAccessSettings *accessSettings = nullptr;
    RecordingEjector *ejector = nullptr;
};
