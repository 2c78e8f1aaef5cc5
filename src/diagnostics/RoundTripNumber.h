#pragma once

#include <QString>

// The shortest decimal text that reads back as exactly the same double, always with a
// fractional part in the plain form ("0.05", "50000000.0", "-1.0"). Magnitudes from 2^53 up
// and below 0.0001 use the exponent form ("1e+16", "1e-05").
QString roundTripNumber(double value);
