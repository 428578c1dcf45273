#include "core/AudioPass.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

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
    // A few files side by side, each on its own thread: the reads of one wait on the disk while
    // another's samples are weighed.
    std::atomic<qsizetype> next{0};
    std::atomic<bool> stopped{false};
    std::mutex calling;
    const auto work = [&] {
        for (qsizetype i = next.fetch_add(1); i < urls.size() && !stopped.load();
             i = next.fetch_add(1)) {
            if (cancelled && cancelled()) {
                stopped = true;
                return;
            }
            std::optional<AudioContent> content;
            try {
                content = reader.content(urls[i], cancelled);
            } catch (const std::exception&) {
                content = AudioContent{.readable = false};
            }
            if (!content) {
                stopped = true;
                return;
            }
            const std::lock_guard<std::mutex> lock(calling);
            read(urls[i], *content);
        }
    };
    const auto threads = qsizetype(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    std::vector<std::thread> helpers;
    try {
        for (qsizetype t = 1; t < std::min(threads, urls.size()); ++t)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: the ones there are, this one included, read the rest.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return !stopped.load();
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
