// `adb install` output, any text: "Success" anywhere means installed, otherwise there is
// always a reason, on one line.
#include "FuzzInput.h"

#include "bridge/InstallOutcome.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = inputText(data, size);
    const std::optional<QString> failure = installFailure(text);
    require(failure.has_value() != text.contains(QLatin1String("Success")), "success is decided by the word alone");
    if (failure) {
        require(!failure->isEmpty(), "a failure has a reason");
        require(!failure->contains(QLatin1Char('\n')) && !failure->contains(QLatin1Char('\r')), "the reason is one line");
    }
    return 0;
}
