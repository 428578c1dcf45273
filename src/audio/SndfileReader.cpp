#include "audio/SndfileReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sndfile.h>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace Vantrel::Audio {

namespace {

// The file under the library: its descriptor, its size and a window of its bytes. The library
// parses a header with many small reads and seeks, and reads samples in small chunks; served
// from the window they cost no system call. The window is refilled with one pread, and a read
// larger than the window goes to the file directly.
// The bytes read at once for a header, and for the samples.
constexpr std::size_t headerWindow = 8192;
constexpr std::size_t contentWindow = 1 << 20;

struct Source {
    int fd = -1;
    sf_count_t size = 0;
    sf_count_t pos = 0;
    std::vector<char> window;
    sf_count_t windowStart = 0;
    sf_count_t windowLength = 0;
};

sf_count_t sourceLength(void* user) {
    return static_cast<Source*>(user)->size;
}

sf_count_t sourceSeek(sf_count_t offset, int whence, void* user) {
    auto* s = static_cast<Source*>(user);
    sf_count_t to = offset;
    if (whence == SEEK_CUR)
        to += s->pos;
    else if (whence == SEEK_END)
        to += s->size;
    if (to < 0)
        return -1;
    s->pos = to;
    return to;
}

// pread of up to count bytes at offset, again after an interruption; 0 at the end or on failure.
sf_count_t readAt(int fd, char* out, sf_count_t count, sf_count_t offset) {
    for (;;) {
        const ssize_t n = ::pread(fd, out, std::size_t(count), offset);
        if (n >= 0)
            return n;
        if (errno != EINTR)
            return 0;
    }
}

sf_count_t sourceRead(void* ptr, sf_count_t count, void* user) {
    auto* s = static_cast<Source*>(user);
    auto* out = static_cast<char*>(ptr);
    const auto windowSize = sf_count_t(s->window.size());
    sf_count_t done = 0;
    while (done < count) {
        const sf_count_t at = s->pos + done;
        if (at >= s->windowStart && at < s->windowStart + s->windowLength) {
            const sf_count_t n = std::min(count - done, s->windowStart + s->windowLength - at);
            std::memcpy(out + done, s->window.data() + (at - s->windowStart), std::size_t(n));
            done += n;
            continue;
        }
        if (count - done >= windowSize) {
            const sf_count_t n = readAt(s->fd, out + done, count - done, at);
            if (n == 0)
                break;
            done += n;
            continue;
        }
        const sf_count_t n = readAt(s->fd, s->window.data(), windowSize, at);
        if (n == 0)
            break;
        s->windowStart = at;
        s->windowLength = n;
    }
    s->pos += done;
    return done;
}

sf_count_t sourceWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t sourceTell(void* user) {
    return static_cast<Source*>(user)->pos;
}

SF_VIRTUAL_IO sourceIo{sourceLength, sourceSeek, sourceRead, sourceWrite, sourceTell};

// An open audio file: the library's handle over its source, closed in that order.
class OpenAudio {
public:
    // windowSize: the bytes read at once; a header needs only the first few kilobytes.
    OpenAudio(const QString& path, SF_INFO& info, std::size_t windowSize) {
        info = {};
        // The name's own bytes, as the scan read them: QFile::encodeName decomposes on macOS,
        // which finds no composed name on a volume that tells the forms apart.
        source_.fd =
            ::open(path.toUtf8().constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (source_.fd < 0)
            return;
        struct stat st;
        if (::fstat(source_.fd, &st) != 0 || !S_ISREG(st.st_mode))
            return;
        source_.size = st.st_size;
        source_.window.resize(windowSize);
        file_ = sf_open_virtual(&sourceIo, SFM_READ, &info, &source_);
        if (file_ && (info.channels <= 0 || info.samplerate <= 0 || info.frames < 0)) {
            sf_close(file_);
            file_ = nullptr;
        }
    }
    ~OpenAudio() {
        if (file_)
            sf_close(file_);
        if (source_.fd >= 0)
            ::close(source_.fd);
    }
    OpenAudio(const OpenAudio&) = delete;
    OpenAudio& operator=(const OpenAudio&) = delete;

    // Null when the file cannot be opened or the library does not read its format.
    SNDFILE* get() const { return file_; }

private:
    Source source_;
    SNDFILE* file_ = nullptr;
};

void describeFormat(int format, AudioHeader& header) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        header.bitDepth = 8;
        break;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ALAC_16:
        header.bitDepth = 16;
        break;
    case SF_FORMAT_ALAC_20:
        header.bitDepth = 20;
        break;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_ALAC_24:
        header.bitDepth = 24;
        break;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
        header.bitDepth = 32;
        break;
    case SF_FORMAT_FLOAT:
        header.bitDepth = 32;
        header.floatingPoint = true;
        break;
    case SF_FORMAT_DOUBLE:
        header.bitDepth = 64;
        header.floatingPoint = true;
        break;
    default: // compressed formats have no fixed depth
        break;
    }
}

// The largest and smallest of count samples, starting from hi and lo. Made for the baseline
// processor and for AVX2 (chosen when the program starts): the baseline has no vector minimum
// and maximum of 32-bit integers.
template <typename Sample>
inline void extremesOf(const Sample* block, std::size_t count, Sample& hi, Sample& lo) {
    Sample h = hi, l = lo;
    for (std::size_t i = 0; i < count; ++i) {
        h = std::max(h, block[i]);
        l = std::min(l, block[i]);
    }
    hi = h;
    lo = l;
}

__attribute__((target_clones("avx2", "default"))) void
extremes(const std::int32_t* block, std::size_t count, std::int32_t& hi, std::int32_t& lo) {
    extremesOf(block, count, hi, lo);
}

__attribute__((target_clones("avx2", "default"))) void
extremes(const float* block, std::size_t count, float& hi, float& lo) {
    extremesOf(block, count, hi, lo);
}

// Running figures of the content pass over interleaved blocks of samples. The common block
// costs one loop the compiler vectorizes (the extremes); channels are compared only until they
// are known to differ, and runs of full-scale samples are followed only in blocks that reach
// full scale.
template <typename Sample> struct Pass {
    // A sample widened so that a difference of two cannot overflow.
    using Wide = std::conditional_t<std::is_integral_v<Sample>, std::int64_t, double>;

    int channels;
    Sample fullPositive, fullNegative;
    double scale; // the magnitude of full scale
    Wide silence; // the largest difference of identical channels
    Sample hi = 0, lo = 0;
    bool channelsDiffer = false;
    std::int64_t clippedRuns = 0;
    std::vector<int> run;

    Pass(int ch, Sample pos, Sample neg, double s)
        : channels(ch), fullPositive(pos), fullNegative(neg), scale(s),
          silence(Wide(std::pow(10.0, silenceDb / 20.0) * s)), channelsDiffer(ch < 2),
          run(std::size_t(ch), 0) {}

    void add(const Sample* block, sf_count_t frames) {
        const std::size_t count = std::size_t(frames) * std::size_t(channels);
        Sample blockHi = hi, blockLo = lo;
        extremes(block, count, blockHi, blockLo);
        hi = blockHi;
        lo = blockLo;
        if (!channelsDiffer)
            compareChannels(block, frames);
        if (blockHi >= fullPositive || blockLo <= fullNegative)
            followRuns(block, frames);
        else
            std::fill(run.begin(), run.end(), 0);
    }

    void compareChannels(const Sample* block, sf_count_t frames) {
        for (sf_count_t i = 0; i < frames && !channelsDiffer; ++i) {
            const Sample* frame = block + i * channels;
            for (int c = 1; c < channels; ++c) {
                const Wide d = Wide(frame[c]) - Wide(frame[0]);
                if (d > silence || -d > silence)
                    channelsDiffer = true;
            }
        }
    }

    void followRuns(const Sample* block, sf_count_t frames) {
        for (sf_count_t i = 0; i < frames; ++i) {
            const Sample* frame = block + i * channels;
            for (int c = 0; c < channels; ++c) {
                const Sample s = frame[c];
                if (s >= fullPositive || s <= fullNegative) {
                    if (++run[std::size_t(c)] == clipRunLength)
                        ++clippedRuns;
                } else {
                    run[std::size_t(c)] = 0;
                }
            }
        }
    }

    AudioContent result() const {
        AudioContent content;
        const double peak = std::max(double(hi), -double(lo));
        if (peak > 0)
            content.peakDb = 20.0 * std::log10(peak / scale);
        content.dualMono = !channelsDiffer;
        content.clippedRuns = clippedRuns;
        return content;
    }
};

template <typename Sample, typename Read>
std::optional<AudioContent> stream(SNDFILE* f, Pass<Sample> pass, Read read,
                                   const std::function<bool()>& cancelled) {
    std::vector<Sample> block(std::size_t(blockFrames) * std::size_t(pass.channels));
    for (;;) {
        if (cancelled && cancelled())
            return std::nullopt;
        const sf_count_t n = read(f, block.data(), blockFrames);
        if (n > 0)
            pass.add(block.data(), n);
        if (n < blockFrames)
            break;
    }
    if (sf_error(f) != SF_ERR_NO_ERROR)
        return AudioContent{.readable = false};
    return pass.result();
}

} // namespace

AudioHeader SndfileReader::header(const QString& path) const {
    SF_INFO info;
    const OpenAudio f(path, info, headerWindow);
    AudioHeader header;
    if (!f.get())
        return header;
    header.readable = true;
    header.sampleRate = info.samplerate;
    header.channels = info.channels;
    header.frames = info.frames;
    describeFormat(info.format, header);
    return header;
}

std::optional<AudioContent> SndfileReader::content(const QString& path,
                                                   const std::function<bool()>& cancelled) const {
    SF_INFO info;
    const OpenAudio f(path, info, contentWindow);
    if (!f.get())
        return AudioContent{.readable = false};
    AudioHeader header;
    describeFormat(info.format, header);
    if (header.bitDepth > 0 && !header.floatingPoint) {
        // Integer samples are read as 32-bit integers, the depth's codes shifted to the top:
        // the positive full scale of d bits is (2^(d-1) - 1) << (32 - d).
        const int shift = 32 - header.bitDepth;
        const auto positive = std::int32_t((std::int64_t(1) << 31) - (std::int64_t(1) << shift));
        return stream(
            f.get(),
            Pass<std::int32_t>(info.channels, positive, std::numeric_limits<std::int32_t>::min(),
                               2147483648.0),
            [](SNDFILE* s, int* b, sf_count_t n) { return sf_readf_int(s, b, n); }, cancelled);
    }
    // Floating-point and compressed samples are read normalized to ±1.0.
    sf_command(f.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    return stream(
        f.get(), Pass<float>(info.channels, 1.0f, -1.0f, 1.0),
        [](SNDFILE* s, float* b, sf_count_t n) { return sf_readf_float(s, b, n); }, cancelled);
}

const AudioReader& sndfileReader() {
    static const SndfileReader reader;
    return reader;
}

} // namespace Vantrel::Audio
