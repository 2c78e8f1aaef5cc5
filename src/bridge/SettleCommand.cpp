#include "bridge/SettleCommand.h"

#include "bridge/ShellQuote.h"

#include <QUuid>

#include <algorithm>

namespace {

// adb of older phones takes a shell command of at most 4 KiB, its service prefix included.
constexpr qsizetype mostCommandBytes = 4000;

const QString markerPrefix = QStringLiteral("tessary-settle-");

// put: rename $1 to $2 unless $2 is a folder (mv would put $1 inside it).
// merge: merge folder $1 into folder $2, then remove the emptied $1.
// file, folder: one step, its messages, then the line with the marker and its status (a
// folder step first makes the empty folder a push of an empty folder did not create).
// (mksh has built-in aliases with short names such as "r", hence the long ones.)
QString functions(const QString &marker)
{
    return QStringLiteral(
        "tessary_put() { if [ -d \"$2\" ]; then echo \"mv: $2: Is a directory\" >&2; return 1; fi; mv -f \"$1\" \"$2\"; }; "
        "tessary_merge() { typeset e n; for e in \"$1\"/* \"$1\"/.[!.]* \"$1\"/..?*; do "
        "if [ ! -e \"$e\" ] && [ ! -L \"$e\" ]; then continue; fi; n=${e##*/}; "
        "if [ -d \"$e\" ] && [ ! -L \"$e\" ] && [ -d \"$2/$n\" ] && [ ! -L \"$2/$n\" ]; "
        "then tessary_merge \"$e\" \"$2/$n\" || return 1; "
        "else tessary_put \"$e\" \"$2/$n\" || return 1; fi; done; rmdir \"$1\"; }; "
        "tessary_step() { if [ -d \"$1\" ] && [ ! -L \"$1\" ] && [ -d \"$2\" ] && [ ! -L \"$2\" ]; "
        "then tessary_merge \"$1\" \"$2\"; else tessary_put \"$1\" \"$2\"; fi; }; "
        "tessary_file() { { tessary_step \"$1\" \"$2\"; } 2>&1; echo \"") + marker + QStringLiteral(" $?\"; }; "
        "tessary_folder() { { if [ ! -e \"$1\" ] && [ ! -L \"$1\" ]; then mkdir \"$1\"; fi; "
        "tessary_step \"$1\" \"$2\"; } 2>&1; echo \"") + marker + QStringLiteral(" $?\"; }; ");
}

QString stepCommand(const SettleStep &step)
{
    return (step.isFolder ? QStringLiteral("tessary_folder ") : QStringLiteral("tessary_file "))
        + shellQuote(step.temporary) + QLatin1Char(' ') + shellQuote(step.destination) + QStringLiteral("; ");
}

} // namespace

QString newSettleMarker()
{
    return markerPrefix + QUuid::createUuid().toString(QUuid::Id128);
}

QString settleCommand(const QList<SettleStep> &steps, const QString &marker)
{
    QString command = functions(marker);
    for (const SettleStep &step : steps)
        command += stepCommand(step);
    return command;
}

qsizetype settleStepsPerRun(const QList<SettleStep> &steps)
{
    // A marker of the same length as newSettleMarker's: the prefix and 32 hexadecimal digits.
    const QString sameLength(markerPrefix.size() + 32, QLatin1Char('x'));
    qsizetype bytes = functions(sameLength).toUtf8().size();
    qsizetype taken = 0;
    for (const SettleStep &step : steps) {
        bytes += stepCommand(step).toUtf8().size();
        if (taken > 0 && bytes > mostCommandBytes)
            break;
        ++taken;
    }
    return taken;
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
