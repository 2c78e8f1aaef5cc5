// Text read off a pseudo-terminal, any bytes: no escape character is left, nothing is
// added, text without escapes comes back unchanged, and stripping twice is stripping once.
#include "FuzzInput.h"

#include "bridge/TerminalText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = inputText(data, size);
    const QString stripped = stripTerminalEscapes(text);
    const QChar escape(0x1b);
    require(!stripped.contains(escape), "no escape is left");
    require(stripped.size() <= text.size(), "nothing is added");
    if (!text.contains(escape))
        require(stripped == text, "text without escapes is unchanged");
    require(stripTerminalEscapes(stripped) == stripped, "stripping twice is stripping once");
    return 0;
}
