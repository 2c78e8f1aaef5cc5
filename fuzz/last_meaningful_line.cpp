// The line of a failed run worth showing, any text: one line, no blanks around it, never a
// "[ nn%]" progress line, taken from the text or the fixed fallback.
#include "FuzzInput.h"

#include "bridge/ADB.h"
#include "bridge/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = inputText(data, size);
    const QString line = ADB::lastMeaningfulLine(text);
    require(!line.isEmpty(), "there is always a line");
    require(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')), "it is one line");
    require(trimBlanks(line) == line, "without blanks around it");
    require(!line.startsWith(QLatin1Char('[')), "never a progress line");
    require(line == QLatin1String("Transfer failed") || text.contains(line), "taken from the text");
    return 0;
}
