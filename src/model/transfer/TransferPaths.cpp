#include "model/transfer/TransferPaths.h"

QString lastPathComponent(const QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    const QString trimmed = path.left(end);
    if (trimmed == QLatin1String("/"))
        return trimmed;
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

QString destinationArgument(const TransferSpec &spec)
{
    const QString dir = spec.destDir.endsWith(QLatin1Char('/')) ? spec.destDir
                                                                : spec.destDir + QLatin1Char('/');
    return spec.targetName ? dir + *spec.targetName : dir;
}

QString destinationPath(const TransferSpec &spec)
{
    const QString target = destinationArgument(spec);
    return target.endsWith(QLatin1Char('/')) ? target + lastPathComponent(spec.source) : target;
}
