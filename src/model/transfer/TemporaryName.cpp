#include "model/transfer/TemporaryName.h"

namespace {

constexpr qsizetype maxNameBytes = 255;

} // namespace

QString temporaryName(const QString &name, const QString &tag)
{
    const QString suffix = QStringLiteral(".tessary-") + tag;
    const qsizetype room = maxNameBytes - 1 - suffix.toUtf8().size();
    QString kept = name;
    while (!kept.isEmpty() && kept.toUtf8().size() > room)
        kept.chop(kept.size() >= 2 && kept.at(kept.size() - 1).isLowSurrogate() ? 2 : 1);
    return QLatin1Char('.') + kept + suffix;
}

QString temporaryPath(const QString &destination, const QString &tag)
{
    QString path = destination;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + temporaryName(path.mid(slash + 1), tag);
}
