#pragma once

#include "bridge/PhoneInfo.h"

#include <QString>

// Reads the output of "getprop manufacturer; getprop model; getprop release;
// dumpsys battery": the first three lines are the properties, battery lines anywhere
// ("level:", "temperature:" in tenths of a degree, "status:" 2 charging / 5 full),
// a later line overriding an earlier one.
PhoneInfo parsePhoneReport(const QString &output, const QString &serial);

// Upper-cases the first letter of every word and lower-cases the rest.
QString capitalizeWords(const QString &text);
