#pragma once

#include "bridge/CancelToken.h"
#include "bridge/ProcessResult.h"
#include "model/transfer/TransferJob.h"

#include <QString>

class StopHandle;

#include <QCoro/QCoroTask>

#include <functional>
#include <memory>
#include <optional>

// One push or pull of a queued job, written under the hidden name `temporary` beside its
// destination and given the destination's name only once it is complete; for a move, only
// once every file of the source is confirmed at the copy with its byte size. The failure
// text when the copy did not take its place ("Cancelled" when the token was cancelled before
// it did); what was written is then still at `temporary`, for discardCopy. `run` runs adb
// with the push's or pull's arguments (and follows its progress), and `monitor`, the
// progress monitor's stop, is stopped as soon as adb has ended.
using CopyRun = std::function<QCoro::Task<ProcessResult>(QStringList args)>;
QCoro::Task<std::optional<QString>> copyThroughTemporary(
    TransferSpec spec, QString temporary, CancelTokenPtr token, CopyRun run,
    std::shared_ptr<StopHandle> monitor);

// Removes what a copy that did not take its place left at `temporary`, so the destination
// stays exactly as it was and nothing is left behind. After a cancelled push this waits
// until the phone has stopped receiving what adb had already sent.
QCoro::Task<> discardCopy(TransferSpec spec, QString temporary, bool afterCancel);
