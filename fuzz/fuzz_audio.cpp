// The audio reader on libsndfile: any bytes, written to a file, give a header and a content pass
// without a crash, a leak or undefined behaviour, and the two agree: a file whose header is
// unreadable has no samples to read, and the facts of a readable header are sane.
#include "audio/SndfileReader.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace Vantrel;

namespace {

// One file, rewritten for every input: the reader takes a path, as the scan hands it one.
const QString& inputPath() {
    static const QString path = [] {
        QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/vantrel-fuzz-audio-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        ::close(fd);
        return QFile::decodeName(pattern);
    }();
    return path;
}

void writeInput(const uint8_t* data, size_t size) {
    const QByteArray name = QFile::encodeName(inputPath());
    const int fd = ::open(name.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        std::abort();
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            std::abort();
        done += size_t(n);
    }
    ::close(fd);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit([] { QFile::remove(inputPath()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeInput(data, size);
    const AudioReader& reader = Audio::sndfileReader();
    const AudioHeader header = reader.header(inputPath());
    if (header.readable && (header.sampleRate <= 0 || header.channels <= 0 || header.frames < 0 ||
                            header.bitDepth < 0 || header.bitDepth > 64))
        std::abort();

    // Cancelled at once: the pass over a readable file stops before the first block; an
    // unreadable one says so.
    const std::optional<AudioContent> cancelled = reader.content(inputPath(), [] { return true; });
    if (header.readable ? cancelled.has_value() : (!cancelled || cancelled->readable))
        std::abort();
    const std::optional<AudioContent> content = reader.content(inputPath(), {});
    if (!content)
        std::abort();
    if (!header.readable && content->readable)
        std::abort();
    if (content->peakDb && (std::isnan(*content->peakDb) || *content->peakDb <= -HUGE_VAL))
        std::abort();
    if (content->clippedRuns < 0)
        std::abort();
    return 0;
}
