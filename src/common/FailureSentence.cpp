#include "common/FailureSentence.h"

QString failureSentence(const QString &action, const QString &name, const QString &reason)
{
    return QStringLiteral("Couldn't %1 \u201C%2\u201D: %3.").arg(action, name, reason);
}
