#pragma once

#include "platform/AccessSettings.h"
#include "platform/Attention.h"
#include "platform/Ejector.h"
#include "platform/FileBrowser.h"
#include "platform/Launcher.h"
#include "platform/Notifier.h"
#include "platform/Trash.h"

#include <memory>

// The one place the application reaches the desktop through. Each service is a small
// interface with one implementation per operating system; tests replace any of them with a
// recording fake and put the defaults back with restoreDefaults(). Main thread only.
class Platform
{
public:
    static Platform &instance();

    Trash &trash() const { return *m_trash; }
    Launcher &launcher() const { return *m_launcher; }
    FileBrowser &fileBrowser() const { return *m_fileBrowser; }
    Notifier &notifier() const { return *m_notifier; }
    Attention &attention() const { return *m_attention; }
    AccessSettings &accessSettings() const { return *m_accessSettings; }
    Ejector &ejector() const { return *m_ejector; }

    void setTrash(std::unique_ptr<Trash> service) { m_trash = std::move(service); }
    void setLauncher(std::unique_ptr<Launcher> service) { m_launcher = std::move(service); }
    void setFileBrowser(std::unique_ptr<FileBrowser> service) { m_fileBrowser = std::move(service); }
    void setNotifier(std::unique_ptr<Notifier> service) { m_notifier = std::move(service); }
    void setAttention(std::unique_ptr<Attention> service) { m_attention = std::move(service); }
    void setAccessSettings(std::unique_ptr<AccessSettings> service)
    {
        m_accessSettings = std::move(service);
    }
    void setEjector(std::unique_ptr<Ejector> service) { m_ejector = std::move(service); }

    // Installs this operating system's own services (done once by instance()).
    void restoreDefaults();

private:
    Platform();

    std::unique_ptr<Trash> m_trash;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<FileBrowser> m_fileBrowser;
    std::unique_ptr<Notifier> m_notifier;
    std::unique_ptr<Attention> m_attention;
    std::unique_ptr<AccessSettings> m_accessSettings;
    std::unique_ptr<Ejector> m_ejector;
};
