#include "model/transfer/DroppedPaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QString dragSideRawValue(DragSide side)
{
    return side == DragSide::mac ? QStringLiteral("mac") : QStringLiteral("android");
}

std::optional<DragSide> dragSideFromRawValue(const QString &raw)
{
    if (raw == QLatin1String("mac"))
        return DragSide::mac;
    if (raw == QLatin1String("android"))
        return DragSide::android;
    return std::nullopt;
}

QByteArray DroppedPaths::toJson() const
{
    QJsonObject object;
    if (side)
        object.insert(QStringLiteral("side"), dragSideRawValue(*side));
    object.insert(QStringLiteral("paths"), QJsonArray::fromStringList(paths));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<DroppedPaths> DroppedPaths::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue pathsValue = object.value(QStringLiteral("paths"));
    if (!pathsValue.isArray())
        return std::nullopt;
    DroppedPaths result;
    for (const QJsonValue &path : pathsValue.toArray()) {
        if (!path.isString())
            return std::nullopt;
        result.paths.append(path.toString());
    }
    const QJsonValue sideValue = object.value(QStringLiteral("side"));
    if (!sideValue.isUndefined() && !sideValue.isNull()) {
        if (!sideValue.isString())
            return std::nullopt;
        result.side = dragSideFromRawValue(sideValue.toString());
        if (!result.side)
            return std::nullopt;
    }
    return result;
}
