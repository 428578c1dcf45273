// The manifest reader: any bytes give group folders with their file names, or nothing.
#include "core/Export.h"

#include <cstdint>
#include <cstdlib>

using namespace Vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QMap<QString, QStringList> manifest = Engine::parseManifest(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (Engine::parseManifest(Engine::manifestJson(manifest)) != manifest)
        std::abort();
    return 0;
}
