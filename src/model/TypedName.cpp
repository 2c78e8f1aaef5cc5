#include "model/TypedName.h"

std::optional<QString> typedNameRefusal(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("A name can't be empty.");
    const QString quoted = QStringLiteral("\u201C") + name + QStringLiteral("\u201D");
    if (name.contains(QLatin1Char('/')))
        return quoted + QStringLiteral(" can't be used as a name, because a name can't contain \u201C/\u201D.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return quoted + QStringLiteral(" can't be used as a name: \u201C.\u201D and \u201C..\u201D stand for "
                                       "the folder itself and the folder above it.");
    return std::nullopt;
}
