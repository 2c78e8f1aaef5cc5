// The getprop and dumpsys battery report, any text: the battery level is a percentage as
// printed, the temperature a finite number, and the texts are single lines.
#include "FuzzInput.h"

#include "bridge/PhoneReport.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString serial = QStringLiteral("127.0.0.1:6101");
    const PhoneInfo info = parsePhoneReport(inputText(data, size), serial);
    require(info.serial == serial, "the serial is the one asked");
    if (info.temperatureC)
        require(std::isfinite(*info.temperatureC), "a temperature is a finite number");
    for (const QString &text : {info.manufacturer, info.model, info.androidVersion})
        require(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')), "texts are single lines");
    require(capitalizeWords(info.manufacturer) == info.manufacturer, "the maker is already capitalised");
    return 0;
}
