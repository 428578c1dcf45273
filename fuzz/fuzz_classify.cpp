// The tokenizer, the classifier and the naming of one file-name stem with the built-in rules.
#include "core/Config.h"
#include "core/Engine.h"

#include <cstdint>
#include <cstdlib>

using namespace Vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Config cfg = Config::defaults();
    static const Engine::Classifier classifier(cfg);
    const QString stem = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    classifier.tokenize(stem);
    const Engine::Classification c = classifier.classify(stem);
    Item item;
    item.url = QStringLiteral("/session/") + Engine::safeName(stem) + QStringLiteral(".wav");
    item.group = c.group;
    item.source = c.source;
    item.order = Engine::sessionOrder(stem);
    const QList<Item> named = Engine::finalize({item, item}, cfg);
    // Two files never get one name, and no name leaves its folder or outgrows the file system.
    if (named[0].newName == named[1].newName || named[0].newName.contains(QLatin1Char('/')) ||
        named[0].folder.contains(QLatin1Char('/')) || named[0].newName.toUtf8().size() > 255)
        std::abort();
    return 0;
}
