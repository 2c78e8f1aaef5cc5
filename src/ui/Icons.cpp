#include "ui/Icons.h"

#include <QDir>
#include <QHash>
#include <QPainter>

namespace Icons {

namespace {

// Symbol identifier -> freedesktop icon name, all present in Adwaita.
const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> names = {
        // window and toolbar
        {QStringLiteral("laptopcomputer"), QStringLiteral("computer-symbolic")},
        {QStringLiteral("smartphone"), QStringLiteral("phone-symbolic")},
        {QStringLiteral("iphone"), QStringLiteral("phone-symbolic")},
        {QStringLiteral("sdcard"), QStringLiteral("media-flash-symbolic")},
        {QStringLiteral("photo.on.rectangle.angled"), QStringLiteral("emblem-photos-symbolic")},
        {QStringLiteral("square.and.arrow.down.on.square"), QStringLiteral("document-save-symbolic")},
        {QStringLiteral("camera.viewfinder"), QStringLiteral("applets-screenshooter-symbolic")},
        {QStringLiteral("info.circle"), QStringLiteral("help-about-symbolic")},
        {QStringLiteral("eye"), QStringLiteral("view-reveal-symbolic")},
        {QStringLiteral("wifi"), QStringLiteral("network-wireless-symbolic")},
        {QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("view-refresh-symbolic")},
        // transfer buttons and rows
        {QStringLiteral("arrow.right.circle.fill"), QStringLiteral("go-next-symbolic")},
        {QStringLiteral("arrow.right.to.line.circle"), QStringLiteral("go-last-symbolic")},
        {QStringLiteral("arrow.left.to.line.circle"), QStringLiteral("go-first-symbolic")},
        {QStringLiteral("arrow.left.circle.fill"), QStringLiteral("go-previous-symbolic")},
        {QStringLiteral("arrow.right"), QStringLiteral("go-next-symbolic")},
        {QStringLiteral("arrow.left"), QStringLiteral("go-previous-symbolic")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("emblem-ok-symbolic")},
        {QStringLiteral("slash.circle"), QStringLiteral("action-unavailable-symbolic")},
        {QStringLiteral("xmark.octagon.fill"), QStringLiteral("dialog-error-symbolic")},
        {QStringLiteral("xmark.circle.fill"), QStringLiteral("process-stop-symbolic")},
        {QStringLiteral("arrow.clockwise.circle.fill"), QStringLiteral("view-refresh-symbolic")},
        // file pane
        {QStringLiteral("folder.badge.plus"), QStringLiteral("folder-new-symbolic")},
        {QStringLiteral("magnifyingglass"), QStringLiteral("system-search-symbolic")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh-symbolic")},
        {QStringLiteral("chevron.up"), QStringLiteral("go-up-symbolic")},
        {QStringLiteral("star"), QStringLiteral("starred-symbolic")},
        {QStringLiteral("line.3.horizontal.decrease"), QStringLiteral("edit-find-symbolic")},
        {QStringLiteral("folder.fill"), QStringLiteral("folder-symbolic")},
        {QStringLiteral("doc"), QStringLiteral("text-x-generic-symbolic")},
        {QStringLiteral("exclamationmark.triangle"), QStringLiteral("dialog-warning-symbolic")},
        {QStringLiteral("tray"), QStringLiteral("folder-open-symbolic")},
        // quick links
        {QStringLiteral("internaldrive"), QStringLiteral("drive-harddisk-symbolic")},
        {QStringLiteral("app.dashed"), QStringLiteral("view-app-grid-symbolic")},
        {QStringLiteral("externaldrive"), QStringLiteral("drive-removable-media-symbolic")},
        {QStringLiteral("icloud"), QStringLiteral("folder-remote-symbolic")},
        {QStringLiteral("house"), QStringLiteral("user-home-symbolic")},
        {QStringLiteral("menubar.dock.rectangle"), QStringLiteral("user-desktop-symbolic")},
        {QStringLiteral("arrow.down.circle"), QStringLiteral("folder-download-symbolic")},
        {QStringLiteral("photo"), QStringLiteral("folder-pictures-symbolic")},
        {QStringLiteral("film"), QStringLiteral("folder-videos-symbolic")},
        {QStringLiteral("music.note"), QStringLiteral("folder-music-symbolic")},
        {QStringLiteral("camera"), QStringLiteral("camera-photo-symbolic")},
        {QStringLiteral("message"), QStringLiteral("chat-message-new-symbolic")},
        // sheets, guides and drives
        {QStringLiteral("cable.connector"), QStringLiteral("phone-symbolic")},
        {QStringLiteral("battery.100.bolt"), QStringLiteral("battery-level-100-charged-symbolic")},
        {QStringLiteral("battery.75"), QStringLiteral("battery-level-70-symbolic")},
        {QStringLiteral("lock.fill"), QStringLiteral("changes-prevent-symbolic")},
        {QStringLiteral("externaldrive.fill"), QStringLiteral("drive-removable-media-symbolic")},
        {QStringLiteral("externaldrive.fill.badge.checkmark"), QStringLiteral("drive-removable-media-symbolic")},
        {QStringLiteral("eject.fill"), QStringLiteral("media-eject-symbolic")},
    };
    return names;
}

} // namespace

QString themeName(const QString &symbol)
{
    return table().value(symbol);
}

QIcon icon(const QString &symbol)
{
    const QString name = themeName(symbol);
    return name.isEmpty() ? QIcon() : QIcon::fromTheme(name);
}

QIcon tinted(const QString &symbol, const QColor &color)
{
    static QHash<QPair<QString, QRgb>, QIcon> cache;
    const QPair<QString, QRgb> key(symbol, color.rgba());
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    const QIcon source = icon(symbol);
    QIcon result;
    for (const int size : {16, 24, 32, 48}) {
        QPixmap pixmap = source.pixmap(size, size);
        if (pixmap.isNull())
            continue;
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(pixmap.rect(), color);
        painter.end();
        result.addPixmap(pixmap);
    }
    cache.insert(key, result);
    return result;
}

void installTheme()
{
    // Platforms without a desktop theme (offscreen, a bare X server) search only the
    // resources; add the freedesktop locations.
    QStringList paths = QIcon::themeSearchPaths();
    QStringList dataDirs = qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (dataDirs.isEmpty())
        dataDirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    dataDirs.prepend(QDir::homePath() + QStringLiteral("/.local/share"));
    for (const QString &dir : dataDirs) {
        const QString icons = dir + QStringLiteral("/icons");
        if (!paths.contains(icons))
            paths << icons;
    }
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")
        || !QIcon::hasThemeIcon(QStringLiteral("folder-symbolic")))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

} // namespace Icons
