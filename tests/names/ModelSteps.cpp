#include "ModelSteps.h"

#include "Patience.h"
#include "model/AppModel.h"

#include <QTest>

bool usePhone(AppModel &model, const QString &serial)
{
    if (!QTest::qWaitFor([&] { return model.selectedSerial().has_value(); }, kPatienceMs))
        return false;
    model.setSelectedSerial(serial);
    return QTest::qWaitFor([&] { return model.readyDevice() && model.readyDevice()->serial == serial; }, kPatienceMs);
}

bool showPhoneFolder(AppModel &model, const QString &folder,
                     const std::function<bool(const QList<FileEntry> &)> &done)
{
    model.goAndroid(folder);
    return QTest::qWaitFor([&] {
        return model.androidPath() == folder && !model.androidLoading() && done(model.androidItems());
    }, kPatienceMs);
}

bool waitForPhoneRows(AppModel &model, const std::function<bool(const QList<FileEntry> &)> &done)
{
    return QTest::qWaitFor([&] { return model.message() || (!model.androidLoading() && done(model.androidItems())); },
                           kPatienceMs)
           && !model.message();
}

std::optional<FileEntry> onlyRow(const QList<FileEntry> &rows, const QString &name)
{
    std::optional<FileEntry> found;
    for (const FileEntry &row : rows) {
        if (row.name != name)
            continue;
        if (found)
            return std::nullopt;
        found = row;
    }
    return found;
}

std::optional<TransferJob> onlyJob(const AppModel &model, const QString &name)
{
    std::optional<TransferJob> found;
    for (const TransferJob &job : model.transfers()) {
        if (job.name != name)
            continue;
        if (found)
            return std::nullopt;
        found = job;
    }
    return found;
}
