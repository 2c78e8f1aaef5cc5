#pragma once

#include "bridge/CancelToken.h"
#include "bridge/ProcessResult.h"
#include "bridge/SettleCommand.h"
#include "model/transfer/TransferJob.h"

#include <QString>

class StopHandle;

#include <QCoro/QCoroTask>

#include <functional>
#include <memory>
#include <optional>

// One push or pull of a queued job, written under the hidden name `temporary` beside its
// destination; for a move it is also confirmed that every file of the source is at the copy
// with its byte size. The failure text when the copy may not take the destination's name
// (cancelledCopyFailure() when the token was cancelled before now); what was written is then
// still at `temporary`, for discardCopy. `run` runs adb with the push's or pull's arguments
// (and follows its progress), and `monitor`, the progress monitor's stop, is stopped as soon
// as adb has ended.
using CopyRun = std::function<QCoro::Task<ProcessResult>(QStringList args)>;
QCoro::Task<std::optional<QString>> copyToTemporary(
    TransferSpec spec, QString temporary, CancelTokenPtr token, CopyRun run,
    std::shared_ptr<StopHandle> monitor);

// The failure of a copy cancelled before it took its destination's name.
QString cancelledCopyFailure();

// A pull: copyToTemporary, then the copy takes its destination's name on this computer.
QCoro::Task<std::optional<QString>> copyAndSettleOnComputer(
    TransferSpec spec, QString temporary, CancelTokenPtr token, CopyRun run,
    std::shared_ptr<StopHandle> monitor);
// The step that gives the copy of `spec` finished at `temporary` its destination's name.
SettleStep settleStepOf(const TransferSpec &spec, const QString &temporary);
// Gives finished copies on the phone `serial` their destinations' names, in order, in as few
// shell runs as the length of a command allows; for each, the failure text if it could not.
QCoro::Task<QList<std::optional<QString>>> settleOnPhone(QString serial, QList<SettleStep> steps);

// Removes what a copy that did not take its place left at `temporary`, so the destination
// stays exactly as it was and nothing is left behind. After a cancelled push this waits
// until the phone has stopped receiving what adb had already sent.
QCoro::Task<> discardCopy(TransferSpec spec, QString temporary, bool afterCancel);
