#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct BackupPlan;
struct PhoneInfo;

// The window's composed texts: pure functions of what the model publishes.
namespace Texts {

// "a, b, c already exist in this Mac folder. What should happen?" — at most four names are
// listed, the rest counted as " and N more".
QString conflictMessage(const QStringList &names, bool toPhone);

QString moveMessage(qsizetype count, bool toPhone);

QString backupMessage(const BackupPlan &plan);

// The line under a pane's table.
QString footer(qsizetype shown, qsizetype total, qsizetype selected);

// What the phone pane shows instead of its rows, for a selected device in this state (empty
// state: no device selected); falls back to the listing error.
std::optional<QString> phonePaneError(const std::optional<QString> &state,
                                      const std::optional<QString> &listingError);

// Why the phone information popover has nothing to show, when it cannot have: the selected
// phone's state (absent: none selected) and what the phone answered (absent: not yet).
std::optional<QString> phoneInfoProblem(const std::optional<QString> &state, const std::optional<PhoneInfo> &info);

// The delete confirmation's title, "Move 2 item(s) to the Trash?" or the phone's warning.
QString deleteTitle(bool phoneSide, qsizetype count);

// "42%" beside a running transfer's bar; progress is clamped to 0…1.
QString percent(double progress);

// "%.1f °C"
QString temperature(double celsius);

// "1.2 GB used of 64 GB — 62.8 GB free"
QString storageCaption(qint64 total, qint64 free);

// Names come from the phone and the disk and are shown as typed. A tooltip guesses its
// format, so a text it would take for markup is escaped.
QString plainToolTip(const QString &text);
// A long text as typed, in a tooltip that wraps it instead of running off the screen.
QString wrappedToolTip(const QString &text);
// A button takes "&" as the mark of its shortcut key: each one is doubled to show itself.
QString buttonText(const QString &text);

} // namespace Texts
