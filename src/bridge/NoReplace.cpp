#include "bridge/NoReplace.h"

#include "bridge/ShellQuote.h"
#include "bridge/TextLines.h"
#include "common/FailureSentence.h"

namespace {

const QString nameTakenMarker = QStringLiteral("tessary:name-taken");

QString ifFreeElse(const QString &taken, const QString &command)
{
    return QStringLiteral("if ") + taken + QStringLiteral("; then echo ") + nameTakenMarker
        + QStringLiteral("; else ") + command + QStringLiteral("; fi");
}

} // namespace

QString noReplaceRenameCommand(const QString &from, const QString &to)
{
    const QString source = shellQuote(from);
    const QString target = shellQuote(to);
    // A link counts as taken even when it points nowhere. A target that is the source itself
    // is free: on a phone's case-insensitive storage "a.txt" exists as "A.txt", and renaming
    // it to change only the case must still work.
    const QString taken = QStringLiteral("[ -L ") + target + QStringLiteral(" ] || { [ -e ") + target
        + QStringLiteral(" ] && ! [ ") + source + QStringLiteral(" -ef ") + target + QStringLiteral(" ]; }");
    return ifFreeElse(taken, QStringLiteral("mv ") + source + QLatin1Char(' ') + target);
}

QString noReplaceFolderCommand(const QString &path)
{
    const QString folder = shellQuote(path);
    const QString taken = QStringLiteral("[ -e ") + folder + QStringLiteral(" ] || [ -L ") + folder
        + QStringLiteral(" ]");
    return ifFreeElse(taken, QStringLiteral("mkdir ") + folder);
}

bool saysNameTaken(const QString &output)
{
    for (const QString &line : splitLines(output)) {
        if (trimBlanks(line) == nameTakenMarker)
            return true;
    }
    return false;
}

QString nameTakenSentence(const QString &action, const QString &phonePath)
{
    QString name = phonePath;
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    name = name.section(QLatin1Char('/'), -1);
    return failureSentence(action, name.isEmpty() ? phonePath : name, QStringLiteral("File exists"));
}
