#pragma once

#include "bridge/FileEntry.h"
#include "model/transfer/TransferJob.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class AppModel;

// Steps of the model as the window drives it, each waiting for its outcome.

// Selects the phone and waits until the model sees it ready.
bool usePhone(AppModel &model, const QString &serial);

// Opens `folder` in the phone pane and waits until the pane shows that folder's listing and
// `done` holds for its rows.
bool showPhoneFolder(AppModel &model, const QString &folder,
                     const std::function<bool(const QList<FileEntry> &)> &done);

// Waits until the phone pane, reloaded after a command, satisfies `done`, or the model's
// message reports a failure.
bool waitForPhoneRows(AppModel &model, const std::function<bool(const QList<FileEntry> &)> &done);

// The row named `name` in the phone pane, if there is exactly one.
std::optional<FileEntry> onlyRow(const QList<FileEntry> &rows, const QString &name);

// The transfer row named `name`, if there is exactly one.
std::optional<TransferJob> onlyJob(const AppModel &model, const QString &name);
