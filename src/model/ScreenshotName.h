#pragma once

#include <QDateTime>
#include <QString>

// "Android Screenshot 2026-03-03 at 14.05.09.png" for a screenshot taken at that local time.
QString screenshotFileName(const QDateTime &localTime);
