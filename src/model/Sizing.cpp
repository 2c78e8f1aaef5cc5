#include "model/Sizing.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

namespace Sizing {

std::optional<qint64> parseStat(const QString &output)
{
    static const QRegularExpression fieldSeparator(QStringLiteral("[ \\t]+"));
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &raw : lines) {
        QString line = raw;
        while (!line.isEmpty() && (line.front() == QLatin1Char(' ') || line.front() == QLatin1Char('\t')))
            line.remove(0, 1);
        while (!line.isEmpty() && (line.back() == QLatin1Char(' ') || line.back() == QLatin1Char('\t')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1String("stat:"))
            || line.startsWith(QLatin1String("du:")) || line.contains(QLatin1String("No such")))
            continue;
        const QString first = line.split(fieldSeparator, Qt::SkipEmptyParts).value(0);
        bool ok = false;
        const qint64 value = first.toLongLong(&ok, 10);
        if (!ok || value < 0)
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

qint64 parseStat(const QString &output, bool isDirectory)
{
    const std::optional<qint64> value = parseStat(output);
    if (!value)
        return 0;
    if (!isDirectory)
        return *value;
    // A count of kibibytes whose bytes do not fit in 64 bits is no measurement.
    return *value <= std::numeric_limits<qint64>::max() / 1024 ? *value * 1024 : 0;
}

qint64 local(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    if (!info.isDir())
        return info.size();
    qint64 total = 0;
    QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        // Links add nothing, whatever they point at.
        if (entry.isSymLink() || !entry.isFile())
            continue;
        total += entry.size();
    }
    return total;
}

}
