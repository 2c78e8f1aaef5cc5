#include "bridge/SettleCommand.h"

#include "bridge/ShellQuote.h"

#include <algorithm>

namespace {

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

QString stepCommand(const SettleStep &step, const QString &marker)
{
    const QString emptyFolder = step.isFolder
        ? QStringLiteral("if [ ! -e \"$s\" ] && [ ! -L \"$s\" ]; then mkdir \"$s\"; fi; ")
        : QString();
    return QStringLiteral("{ s=") + shellQuote(step.temporary) + QStringLiteral("; d=")
        + shellQuote(step.destination) + QStringLiteral("; ") + emptyFolder
        + QStringLiteral("if [ -d \"$s\" ] && [ ! -L \"$s\" ] && [ -d \"$d\" ] && [ ! -L \"$d\" ]; "
                         "then tessary_merge \"$s\" \"$d\"; else tessary_put \"$s\" \"$d\"; fi; } 2>&1; echo \"")
        + marker + QStringLiteral(" $?\"; ");
}

} // namespace

QString settleCommand(const QList<SettleStep> &steps, const QString &marker)
{
    QString command = functions;
    for (const SettleStep &step : steps)
        command += stepCommand(step, marker);
    return command;
}

QList<std::optional<QString>> settleOutcomes(const QString &output, qsizetype count, const QString &marker)
{
    const QString prefix = marker + QLatin1Char(' ');
    QList<std::optional<QString>> outcomes;
    QString printed;
    for (QString line : output.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(prefix) && outcomes.size() < count) {
            const QString status = line.mid(prefix.size());
            const bool number = !status.isEmpty()
                && std::all_of(status.cbegin(), status.cend(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
            if (number) {
                outcomes << (status == QLatin1String("0") ? std::nullopt : std::optional<QString>(printed));
                printed.clear();
                continue;
            }
        }
        if (!printed.isEmpty())
            printed += QLatin1Char('\n');
        printed += line;
    }
    while (outcomes.size() < count) {
        outcomes << std::optional<QString>(printed);
        printed.clear();
    }
    return outcomes;
}
