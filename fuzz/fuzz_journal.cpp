// The journal reader and its check: any bytes give a journal or none; a journal read survives
// being written and read again; rebasing never yields a move the check lets out of the folder.
#include "core/Export.h"

#include <cstdint>
#include <cstdlib>

using namespace Vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<Engine::Journal> journal = Engine::readJournal(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!journal)
        return 0;
    const std::optional<Engine::Journal> again = Engine::readJournal(Engine::journalJson(*journal));
    if (!again || again->moves != journal->moves || again->aside != journal->aside)
        std::abort();
    const QString folder = QStringLiteral("/music/Session");
    const Engine::Journal moved = Engine::rebased(*journal, folder);
    try {
        Engine::checkJournal(moved.moves, folder, folder + QStringLiteral("/j"));
    } catch (const Error&) {
        return 0;
    }
    for (const Move& m : moved.moves) {
        for (const QString& path : {m.from, m.to}) {
            if (!path.startsWith(folder + QLatin1Char('/')) || path.contains(QLatin1String("/../")) ||
                path.endsWith(QLatin1String("/..")))
                std::abort();
        }
    }
    return 0;
}
