// `adb devices -l`, any text: every device has a serial and a state, neither holds a
// blank, and the model is one field.
#include "FuzzInput.h"

#include "bridge/DeviceList.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString output = inputText(data, size);
    static const QRegularExpression blank(QStringLiteral("[ \\t\\n]"));
    const QList<AndroidDevice> devices = parseDeviceList(output);
    require(devices.size() <= output.count(QLatin1Char('\n')) + 1, "at most one device per line");
    for (const AndroidDevice &device : devices) {
        require(!device.serial.isEmpty() && !device.state.isEmpty(), "serial and state are present");
        require(!device.serial.contains(blank) && !device.state.contains(blank) && !device.model.contains(blank),
                "serial, state and model are single fields");
        require(!device.displayName().isEmpty(), "every device has a name to show");
    }
    return 0;
}
