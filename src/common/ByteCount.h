#pragma once

#include <QString>

// The one formatter for byte counts shown to the user, in the file-size style of the
// desktop's file browser with decimal units (1 kB = 1000 bytes):
//   below 1000: "0 bytes", "1 byte", "999 bytes";
//   above: one fraction digit, a trailing ".0" dropped, units kB MB GB TB PB EB:
//   "1 kB", "1.5 MB", "2 GB", "12.3 GB". A value that rounds to 1000 of a unit is shown
//   in the next unit ("1 MB", never "1000 kB"). The text is English and does not follow
//   the locale's digit grouping or decimal point. A negative count is shown like its
//   magnitude with a leading minus sign.
QString formatByteCount(qint64 bytes);
