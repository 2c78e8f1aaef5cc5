#include "bridge/PhoneReport.h"

#include "bridge/TextLines.h"

#include <QRegularExpression>

#include <cmath>

QString capitalizeWords(const QString &text)
{
    QString result = text.toLower();
    bool wordStart = true;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isSpace()) {
            wordStart = true;
        } else if (wordStart) {
            result[i] = c.toUpper();
            wordStart = false;
        }
    }
    return result;
}

namespace {
std::optional<int> readInteger(const QString &text)
{
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    if (!integer.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}
}

PhoneInfo parsePhoneReport(const QString &output, const QString &serial)
{
    PhoneInfo info;
    info.serial = serial;
    QStringList lines = splitLines(output, Qt::KeepEmptyParts);
    for (QString &line : lines)
        line = trimBlanks(line);
    if (lines.size() >= 3) {
        info.manufacturer = capitalizeWords(lines.at(0));
        info.model = lines.at(1);
        info.androidVersion = lines.at(2);
    }
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("level:"))) {
            info.batteryLevel = readInteger(trimBlanks(line.mid(6)));
        } else if (line.startsWith(QLatin1String("temperature:"))) {
            // Qt reads "nan" and "inf" as numbers; a temperature is a finite one.
            bool ok = false;
            const double tenths = trimBlanks(line.mid(12)).toDouble(&ok);
            if (ok && std::isfinite(tenths))
                info.temperatureC = tenths / 10.0;
        } else if (line.startsWith(QLatin1String("status:"))) {
            const QString status = trimBlanks(line.mid(7));
            info.charging = status == QLatin1String("2") || status == QLatin1String("5");
        }
    }
    return info;
}
