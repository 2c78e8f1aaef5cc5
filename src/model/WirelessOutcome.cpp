#include "model/WirelessOutcome.h"

bool wirelessSucceeded(const QString &said)
{
    return said.startsWith(QLatin1String("connected to ")) || said.startsWith(QLatin1String("already connected to "))
        || said.startsWith(QLatin1String("Successfully paired to "));
}
