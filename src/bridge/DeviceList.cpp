#include "bridge/DeviceList.h"

#include "bridge/TextLines.h"

QList<AndroidDevice> parseDeviceList(const QString &output)
{
    QList<AndroidDevice> devices;
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("List of")) || line.startsWith(QLatin1Char('*')))
            continue;
        const QStringList fields = splitFields(line);
        if (fields.size() < 2)
            continue;
        AndroidDevice device;
        device.serial = fields.at(0);
        device.state = fields.at(1);
        for (const QString &field : fields) {
            if (field.startsWith(QLatin1String("model:"))) {
                device.model = field.mid(6);
                break;
            }
        }
        devices.append(device);
    }
    return devices;
}
