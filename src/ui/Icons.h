#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// The window names its icons by symbol identifiers ("arrow.right.circle.fill", "folder.fill",
// ...). Each identifier maps to one freedesktop icon name, so every icon comes from the
// installed icon theme.
namespace Icons {

// The freedesktop icon name for a symbol identifier; empty for an unknown identifier.
QString themeName(const QString &symbol);

// The themed icon for a symbol identifier (a null icon for an unknown identifier).
QIcon icon(const QString &symbol);

// The symbol's icon painted in one colour (the theme's symbolic icons are monochrome
// shapes); cached per symbol and colour.
QIcon tinted(const QString &symbol, const QColor &color);

// Makes themed icons resolve under a bare X server or the offscreen platform, where no
// desktop settings name a theme: falls back to Adwaita, which the project depends on.
void installTheme();

} // namespace Icons
