// A chunk of push or pull output on a terminal, any text: adb's own percentage is a
// fraction between 0 and 1.
#include "FuzzInput.h"

#include "model/transfer/AdbProgress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<double> progress = adbReportedProgress(inputText(data, size));
    if (progress)
        require(*progress >= 0.0 && *progress <= 1.0, "progress is a fraction");
    return 0;
}
