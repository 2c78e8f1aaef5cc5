#include "model/transfer/Naming.h"

QString androidSafeName(const QString &name)
{
    static const QString refused = QStringLiteral("\"*:<>?\\|");
    QString result = name;
    for (QChar &c : result) {
        if (refused.contains(c))
            c = QLatin1Char('_');
    }
    return result;
}

QString uniqueName(const QString &name, const QSet<QString> &taken)
{
    // The extension is the text after the last dot; a leading dot (".profile") or a
    // trailing one ("notes.") does not start one.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && dot < name.size() - 1;
    const QString base = hasExtension ? name.left(dot) : name;
    const QString ext = hasExtension ? name.mid(dot + 1) : QString();
    for (qint64 n = 2;; ++n) {
        QString candidate = base + QLatin1Char(' ') + QString::number(n);
        if (!ext.isEmpty())
            candidate += QLatin1Char('.') + ext;
        if (!taken.contains(candidate))
            return candidate;
    }
}

QString normalizedAndroid(const QString &path)
{
    QString result = path;
    if (result.size() >= 2 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    if (result == QLatin1String("/sdcard") || result == QLatin1String("/storage/emulated")
        || result == QLatin1String("/storage/self/primary"))
        return QStringLiteral("/storage/emulated/0");
    return result;
}
