#include "model/transfer/CounterBytes.h"

#include <algorithm>

qint64 bytesMoved(const ProcessIo &start, const ProcessIo &now)
{
    return std::max<qint64>(0, std::min(now.rchar - start.rchar, now.wchar - start.wchar));
}
