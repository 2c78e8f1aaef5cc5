#include "bridge/SettleCommand.h"

#include "bridge/ShellQuote.h"

namespace {

const QString endMarker = QStringLiteral("tessary-settle-end ");

// put: rename $1 to $2 unless $2 is a folder (mv would put $1 inside it).
// merge: merge folder $1 into folder $2, then remove the emptied $1.
// (mksh has built-in aliases with short names such as "r", hence the long ones.)
const QString functions = QStringLiteral(
    "tessary_put() { if [ -d \"$2\" ]; then echo \"mv: $2: Is a directory\" >&2; return 1; fi; mv -f \"$1\" \"$2\"; }; "
    "tessary_merge() { typeset e n; for e in \"$1\"/* \"$1\"/.[!.]* \"$1\"/..?*; do "
    "if [ ! -e \"$e\" ] && [ ! -L \"$e\" ]; then continue; fi; n=${e##*/}; "
    "if [ -d \"$e\" ] && [ ! -L \"$e\" ] && [ -d \"$2/$n\" ] && [ ! -L \"$2/$n\" ]; "
    "then tessary_merge \"$e\" \"$2/$n\" || return 1; "
    "else tessary_put \"$e\" \"$2/$n\" || return 1; fi; done; rmdir \"$1\"; }; ");

} // namespace

QString settleCommand(const QString &temporary, const QString &destination, bool isFolder)
{
    const QString emptyFolder = isFolder
        ? QStringLiteral("if [ ! -e \"$s\" ] && [ ! -L \"$s\" ]; then mkdir \"$s\"; fi; ")
        : QString();
    return functions + QStringLiteral("s=") + shellQuote(temporary) + QStringLiteral("; d=")
        + shellQuote(destination) + QStringLiteral("; ") + emptyFolder
        + QStringLiteral("if [ -d \"$s\" ] && [ ! -L \"$s\" ] && [ -d \"$d\" ] && [ ! -L \"$d\" ]; "
                         "then tessary_merge \"$s\" \"$d\"; else tessary_put \"$s\" \"$d\"; fi; echo \"")
        + endMarker + QStringLiteral("$?\"");
}

bool settleSucceeded(const QString &output)
{
    QString text = output;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    const qsizetype start = text.lastIndexOf(QLatin1Char('\n')) + 1;
    return text.mid(start) == endMarker + QLatin1Char('0');
}
