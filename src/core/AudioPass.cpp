#include "core/AudioPass.h"

namespace Vantrel::Engine {

QStringList contentToRead(const QList<Item>& items, const QHash<QString, AudioContent>& contents) {
    QStringList urls;
    for (const Item& item : items)
        if (item.audio && item.audio->readable && !contents.contains(item.url))
            urls << item.url;
    return urls;
}

bool readContent(const QStringList& urls, const AudioReader& reader,
                 const std::function<bool()>& cancelled,
                 const std::function<void(const QString& url, const AudioContent&)>& read) {
    return readContents(reader, urls, cancelled,
                        [&](qsizetype i, const AudioContent& content) { read(urls[i], content); });
}

QList<AudioFile> audioFiles(const QList<Item>& items,
                            const QHash<QString, AudioContent>& contents) {
    QList<AudioFile> files;
    for (const Item& item : items) {
        if (!item.audio)
            continue;
        const auto content = contents.constFind(item.url);
        files << AudioFile{item.fileName(), *item.audio,
                           content == contents.cend() ? std::nullopt
                                                      : std::optional<AudioContent>(*content)};
    }
    return files;
}

} // namespace Vantrel::Engine
