#include "EmulatorOptions.h"

#include <QRegularExpression>

namespace {

bool readInt(const QString &text, qint64 min, qint64 max, qint64 &out)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < min || value > max)
        return false;
    out = value;
    return true;
}

}

QString emulatorUsage()
{
    return QStringLiteral(
        "usage: phone-emulator --root DIR [--port N] [options]\n"
        "       phone-emulator --check   exit 0 when a phone can run here, else say why\n"
        "  --port N              TCP port on 127.0.0.1 (0 or absent: a free one; 5555-5585 refused)\n"
        "  --model TEXT          ro.product.model (default \"EmuPhone 1\")\n"
        "  --manufacturer TEXT   ro.product.manufacturer (default \"emu\")\n"
        "  --android-version V   ro.build.version.release (default 14)\n"
        "  --battery-level N     dumpsys battery level (default 85)\n"
        "  --battery-status N    dumpsys battery status: 2 charging, 3 discharging, 5 full\n"
        "  --temperature N       battery temperature in tenths of a degree (default 291)\n"
        "  --card ID             a card volume at /storage/ID (repeatable)\n"
        "  --storage-mb N        cap the internal storage at N MiB (a tmpfs)\n"
        "  --locked              screencap prints nothing\n"
        "  --auth reject         never accept the computer (shown as unauthorized)\n"
        "  --throttle MBPS       limit the link to MBPS megabytes per second\n"
        "  --drop-after BYTES    drop the connection once after BYTES of file data\n"
        "  --deny PATH           the folder PATH cannot be read (repeatable)\n"
        "  --max-payload BYTES   the largest message payload the phone accepts\n");
}

std::optional<EmulatorOptions> parseEmulatorOptions(const QStringList &arguments, QString &error)
{
    EmulatorOptions options;
    static const QRegularExpression cardId(QStringLiteral("^[0-9A-F]{4}-[0-9A-F]{4}$"));
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        if (name == QLatin1String("--locked")) {
            options.locked = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = QStringLiteral("%1: missing value or unknown option").arg(name);
            return std::nullopt;
        }
        const QString value = arguments[++i];
        qint64 number = 0;
        auto badValue = [&] {
            error = QStringLiteral("%1: bad value \"%2\"").arg(name, value);
            return std::nullopt;
        };
        if (name == QLatin1String("--root")) {
            options.root = value;
        } else if (name == QLatin1String("--port")) {
            if (!readInt(value, 0, 65535, number) || (number >= 5555 && number <= 5585))
                return badValue();
            options.port = quint16(number);
        } else if (name == QLatin1String("--model")) {
            options.model = value;
        } else if (name == QLatin1String("--manufacturer")) {
            options.manufacturer = value;
        } else if (name == QLatin1String("--android-version")) {
            options.androidVersion = value;
        } else if (name == QLatin1String("--battery-level")) {
            if (!readInt(value, 0, 100, number))
                return badValue();
            options.batteryLevel = int(number);
        } else if (name == QLatin1String("--battery-status")) {
            if (!readInt(value, 1, 5, number))
                return badValue();
            options.batteryStatus = int(number);
        } else if (name == QLatin1String("--temperature")) {
            if (!readInt(value, -1000, 2000, number))
                return badValue();
            options.temperatureTenths = int(number);
        } else if (name == QLatin1String("--card")) {
            if (!cardId.match(value).hasMatch())
                return badValue();
            options.cards << value;
        } else if (name == QLatin1String("--storage-mb")) {
            if (!readInt(value, 1, 1 << 20, number))
                return badValue();
            options.storageMb = int(number);
        } else if (name == QLatin1String("--auth")) {
            if (value != QLatin1String("reject") && value != QLatin1String("accept"))
                return badValue();
            options.rejectAuth = value == QLatin1String("reject");
        } else if (name == QLatin1String("--throttle")) {
            bool ok = false;
            options.throttleMBps = value.toDouble(&ok);
            if (!ok || options.throttleMBps <= 0)
                return badValue();
        } else if (name == QLatin1String("--drop-after")) {
            if (!readInt(value, 1, std::numeric_limits<qint64>::max(), number))
                return badValue();
            options.dropAfterBytes = number;
        } else if (name == QLatin1String("--deny")) {
            if (!value.startsWith(QLatin1Char('/')))
                return badValue();
            options.denyPaths << value;
        } else if (name == QLatin1String("--max-payload")) {
            if (!readInt(value, 4096, 1024 * 1024, number))
                return badValue();
            options.maxPayload = quint32(number);
        } else {
            error = QStringLiteral("%1: unknown option").arg(name);
            return std::nullopt;
        }
    }
    if (options.root.isEmpty()) {
        error = QStringLiteral("--root is required");
        return std::nullopt;
    }
    return options;
}
