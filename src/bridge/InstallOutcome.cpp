#include "bridge/InstallOutcome.h"

#include "bridge/ADB.h"
#include "bridge/TextLines.h"

std::optional<QString> installFailure(const QString &text)
{
    if (text.contains(QLatin1String("Success")))
        return std::nullopt;
    const QStringList lines = splitLines(text, Qt::KeepEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (it->contains(QLatin1String("Failure")) || it->contains(QLatin1String("Error")))
            return it->trimmed();
    }
    return ADB::lastMeaningfulLine(text);
}
