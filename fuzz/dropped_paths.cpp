// The drag payload between the panes, any bytes: what decodes encodes back to the same
// payload.
#include "FuzzInput.h"

#include "model/transfer/DroppedPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<DroppedPaths> decoded = DroppedPaths::fromJson(inputBytes(data, size));
    if (decoded)
        require(DroppedPaths::fromJson(decoded->toJson()) == decoded, "a decoded payload encodes back to itself");
    return 0;
}
