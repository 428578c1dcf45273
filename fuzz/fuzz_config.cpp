// The configuration reader: any bytes give a configuration or none, and a configuration read
// survives being written and read again.
#include "core/Config.h"

#include <cstdint>
#include <cstdlib>

using namespace Vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<Config> cfg = Config::fromJson(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (cfg) {
        const std::optional<Config> again = Config::fromJson(cfg->toJson());
        if (!again || !(*again == *cfg))
            std::abort();
    }
    return 0;
}
