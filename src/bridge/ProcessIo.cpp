#include "bridge/ProcessIo.h"

#include <QByteArray>
#include <QList>

namespace {

std::optional<qint64> counter(QByteArrayView value)
{
    bool ok = false;
    const qint64 number = value.trimmed().toLongLong(&ok);
    if (!ok || number < 0)
        return std::nullopt;
    return number;
}

} // namespace

std::optional<ProcessIo> parseProcessIo(QByteArrayView text)
{
    std::optional<qint64> rchar;
    std::optional<qint64> wchar;
    for (const QByteArray &line : text.toByteArray().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.first(colon).trimmed();
        if (name == "rchar")
            rchar = counter(line.sliced(colon + 1));
        else if (name == "wchar")
            wchar = counter(line.sliced(colon + 1));
    }
    if (!rchar || !wchar)
        return std::nullopt;
    return ProcessIo{*rchar, *wchar};
}
