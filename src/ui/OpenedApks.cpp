#include "ui/OpenedApks.h"

#include "model/AppModel.h"

QCoro::Task<> installOpenedApks(QPointer<AppModel> model, QStringList apks)
{
    if (!model)
        co_return;
    co_await model->refreshDevices();
    if (model)
        model->installAPKs(apks);
}
