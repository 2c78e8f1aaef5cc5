// The phone's `stat -c %s` and `du -sk` output, any text: a size is never negative, and a
// folder's kibibytes become bytes without overflowing.
#include "FuzzInput.h"

#include "model/Sizing.h"

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString output = inputText(data, size);
    const std::optional<qint64> value = Sizing::parseStat(output);
    if (value)
        require(*value >= 0, "a size is not negative");
    const qint64 bytes = Sizing::parseStat(output, false);
    const qint64 folderBytes = Sizing::parseStat(output, true);
    require(bytes == value.value_or(0), "a file's size is the value");
    constexpr qint64 largestKibibytes = std::numeric_limits<qint64>::max() / 1024;
    require(folderBytes == 0 || (*value <= largestKibibytes && folderBytes == *value * 1024),
            "a folder's size is the value in kibibytes");
    return 0;
}
