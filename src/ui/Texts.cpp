#include "ui/Texts.h"

#include "common/ByteCount.h"
#include "bridge/PhoneInfo.h"
#include "model/transfer/BackupPlan.h"

#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace Texts {

QString conflictMessage(const QStringList &names, bool toPhone)
{
    QString listed = names.mid(0, 4).join(QStringLiteral(", "));
    if (names.size() > 4)
        listed += QStringLiteral(" and %1 more").arg(names.size() - 4);
    return listed + QStringLiteral(" already ")
        + (names.size() == 1 ? QStringLiteral("exists") : QStringLiteral("exist"))
        + QLatin1Char(' ')
        + (toPhone ? QStringLiteral("on your phone") : QStringLiteral("in this Mac folder"))
        + QStringLiteral(". What should happen?");
}

QString moveMessage(qsizetype count, bool toPhone)
{
    return QString::number(count)
        + (toPhone ? QStringLiteral(" item(s) will be copied to your phone, then the originals on this Mac go to the Trash.")
                   : QStringLiteral(" item(s) will be copied to this Mac, then the originals are deleted from your phone."));
}

QString backupMessage(const BackupPlan &plan)
{
    qint64 bytes = 0;
    for (const BackupFile &file : plan.files)
        bytes += file.size;
    return QString::number(plan.files.size()) + QStringLiteral(" new photo/video file(s) (")
        + formatByteCount(bytes) + QStringLiteral(") will be copied to:\n") + plan.destination
        + QStringLiteral("\n\nFiles already backed up are skipped.");
}

QString footer(qsizetype shown, qsizetype total, qsizetype selected)
{
    if (selected > 0)
        return QStringLiteral("%1 of %2 selected").arg(selected).arg(total);
    if (shown == total)
        return QStringLiteral("%1 items").arg(total);
    return QStringLiteral("%1 of %2 items match").arg(shown).arg(total);
}

std::optional<QString> phonePaneError(const std::optional<QString> &state,
                                      const std::optional<QString> &listingError)
{
    if (state && *state == QLatin1String("unauthorized"))
        return QStringLiteral("Unlock your phone and tap “Allow” on the USB debugging prompt (tick “Always allow”).");
    if (state && *state != QLatin1String("device"))
        return QStringLiteral("Device is ") + *state
            + QStringLiteral(". Re-plug the cable or restart USB debugging.");
    return listingError;
}

std::optional<QString> phoneInfoProblem(const std::optional<QString> &state, const std::optional<PhoneInfo> &info)
{
    if (!state)
        return QStringLiteral("No phone is selected.");
    if (*state != QLatin1String("device"))
        return phonePaneError(state, std::nullopt);
    // A phone that could not be asked reports nothing at all.
    if (info && info->manufacturer.isEmpty() && info->model.isEmpty() && info->androidVersion.isEmpty()
        && !info->batteryLevel)
        return QStringLiteral("The phone did not answer. Check that it is unlocked and connected, then open this again.");
    return std::nullopt;
}

QString deleteTitle(bool phoneSide, qsizetype count)
{
    if (phoneSide)
        return QStringLiteral("Delete %1 item(s) from your phone? This cannot be undone.").arg(count);
    return QStringLiteral("Move %1 item(s) to the Trash?").arg(count);
}

QString percent(double progress)
{
    const double clamped = std::clamp(progress, 0.0, 1.0);
    return QString::number(static_cast<int>(clamped * 100.0)) + QLatin1Char('%');
}

QString temperature(double celsius)
{
    return QString::asprintf("%.1f", celsius) + QStringLiteral(" °C");
}

QString storageCaption(qint64 total, qint64 free)
{
    return formatByteCount(total - free) + QStringLiteral(" used of ") + formatByteCount(total)
        + QStringLiteral(" — ") + formatByteCount(free) + QStringLiteral(" free");
}

QString plainToolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? wrappedToolTip(text) : text;
}

QString wrappedToolTip(const QString &text)
{
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QString buttonText(const QString &text)
{
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace Texts
