#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QStringList>
#include <optional>

// The pane a drag came from; its raw values are "mac" and "android".
enum class DragSide { mac, android };

QString dragSideRawValue(DragSide side);
std::optional<DragSide> dragSideFromRawValue(const QString &raw);

// The private payload of a drag between the panes, carried as JSON under dragPathsMimeType.
struct DroppedPaths
{
    std::optional<DragSide> side;
    QStringList paths;

    // {"side":"mac","paths":[...]}; "side" is left out when absent.
    QByteArray toJson() const;
    // Requires "paths"; a missing "side" decodes as absent, an unknown one fails.
    static std::optional<DroppedPaths> fromJson(const QByteArray &json);

    bool operator==(const DroppedPaths &) const = default;
};

inline constexpr const char *dragPathsMimeType = "com.quorvane.tessary.paths";

Q_DECLARE_METATYPE(DroppedPaths)
