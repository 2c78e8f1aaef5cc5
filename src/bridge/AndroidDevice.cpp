#include "bridge/AndroidDevice.h"

QString AndroidDevice::displayName() const
{
    QString name = model.isEmpty() ? serial : QString(model).replace(QLatin1Char('_'), QLatin1Char(' '));
    if (state != QLatin1String("device"))
        name += QStringLiteral(" (") + state + QLatin1Char(')');
    return name;
}
