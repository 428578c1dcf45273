#include "audio/SndfileReader.h"

#include <algorithm>
#include <bit>
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
// The bytes of a header read first by the reading of plain WAV headers.
constexpr std::size_t firstHeaderRead = 1024;
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

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t le16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

// The header of a plain WAV file from its first bytes, where nothing in it is unusual: a RIFF
// "WAVE" file whose chunks before "data" are a single "fmt " and only chunks that carry no
// sound facts, each of even length; 16-, 24- or 32-bit integer or 32- or 64-bit float samples
// (plain or in the extensible format, all bits valid); a block size and byte rate that agree
// with the channels, depth and rate; and a data chunk of whole frames lying inside the file.
// None for anything else, which the library then reads: its answer for such a file is this one.
std::optional<AudioHeader> plainWavHeader(const unsigned char* bytes, std::size_t length,
                                          std::int64_t fileSize,
                                          std::int64_t* dataStart = nullptr) {
    if (length < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return std::nullopt;
    static const unsigned char guidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                               0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    std::optional<AudioHeader> header;
    int blockAlign = 0;
    for (std::size_t at = 12; at + 8 <= length;) {
        const unsigned char* chunk = bytes + at;
        const std::uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            const auto start = std::int64_t(at + 8);
            if (!header || size == 0 || size % std::uint32_t(blockAlign) != 0 ||
                start + std::int64_t(size) > fileSize)
                return std::nullopt;
            header->frames = std::int64_t(size / std::uint32_t(blockAlign));
            if (dataStart)
                *dataStart = start;
            return header;
        }
        if (size % 2 != 0 || at + 8 + std::size_t(size) > length)
            return std::nullopt;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (header || (size != 16 && size != 18 && size != 40))
                return std::nullopt;
            const unsigned char* f = chunk + 8;
            int tag = le16(f);
            const int channels = le16(f + 2);
            const std::uint32_t rate = le32(f + 4);
            const std::uint32_t byteRate = le32(f + 8);
            blockAlign = le16(f + 12);
            const int bits = le16(f + 14);
            if (tag == 0xFFFE) {
                if (size != 40 || le16(f + 16) != 22 || le16(f + 18) != bits ||
                    std::memcmp(f + 26, guidTail, sizeof guidTail) != 0)
                    return std::nullopt;
                tag = le16(f + 24);
            } else if (size == 40) {
                return std::nullopt;
            }
            const bool floating = tag == 3 && (bits == 32 || bits == 64);
            const bool integer = tag == 1 && (bits == 16 || bits == 24 || bits == 32);
            if ((!floating && !integer) || channels < 1 || channels > 64 || rate < 1000 ||
                rate > 768000 || blockAlign != channels * bits / 8 ||
                byteRate != rate * std::uint32_t(blockAlign))
                return std::nullopt;
            header = AudioHeader{.readable = true,
                                 .sampleRate = int(rate),
                                 .channels = channels,
                                 .bitDepth = bits,
                                 .floatingPoint = floating};
        } else if (std::memcmp(chunk, "LIST", 4) != 0 && std::memcmp(chunk, "JUNK", 4) != 0 &&
                   std::memcmp(chunk, "bext", 4) != 0 && std::memcmp(chunk, "iXML", 4) != 0 &&
                   std::memcmp(chunk, "PAD ", 4) != 0) {
            return std::nullopt;
        }
        at += 8 + std::size_t(size);
    }
    return std::nullopt;
}

// The samples of bytesPerSample-byte little-endian integers widened to 32 bits as the library
// widens them: the depth's codes at the top.
void widen(const unsigned char* in, std::int32_t* out, std::size_t count, int bytesPerSample) {
    switch (bytesPerSample) {
    case 2:
        for (std::size_t i = 0; i < count; ++i, in += 2)
            out[i] = std::int32_t(std::uint32_t(in[0]) << 16 | std::uint32_t(in[1]) << 24);
        break;
    case 3:
        if constexpr (std::endian::native == std::endian::little) {
            // One 4-byte load per sample, its fourth byte (the next sample's) shifted out: the
            // caller leaves a byte after the last sample.
            for (std::size_t i = 0; i < count; ++i, in += 3) {
                std::uint32_t v;
                std::memcpy(&v, in, 4);
                out[i] = std::int32_t(v << 8);
            }
        } else {
            for (std::size_t i = 0; i < count; ++i, in += 3)
                out[i] = std::int32_t(std::uint32_t(in[0]) << 8 | std::uint32_t(in[1]) << 16 |
                                      std::uint32_t(in[2]) << 24);
        }
        break;
    default:
        for (std::size_t i = 0; i < count; ++i, in += 4)
            out[i] = std::int32_t(le32(in));
        break;
    }
}

// Integer samples are taken as 32-bit integers, the depth's codes shifted to the top: the
// positive full scale of d bits is (2^(d-1) - 1) << (32 - d).
Pass<std::int32_t> integerPass(int channels, int bitDepth) {
    const int shift = 32 - bitDepth;
    const auto positive = std::int32_t((std::int64_t(1) << 31) - (std::int64_t(1) << shift));
    return Pass<std::int32_t>(channels, positive, std::numeric_limits<std::int32_t>::min(),
                              2147483648.0);
}

// The content of a plain integer WAV file (see plainWavHeader), its data read with a few large
// reads and its samples widened here: the library would copy every sample through buffers of
// its own, one small read at a time. Left to the library (none) for anything else.
std::optional<std::optional<AudioContent>> plainWavContent(const QString& path,
                                                           const std::function<bool()>& cancelled) {
    const int fd =
        ::open(path.toUtf8().constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    unsigned char first[headerWindow];
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    std::int64_t dataStart = 0;
    const std::optional<AudioHeader> header = plainWavHeader(
        first, std::size_t(readAt(fd, reinterpret_cast<char*>(first), sf_count_t(sizeof first), 0)),
        st.st_size, &dataStart);
    if (!header || header->floatingPoint)
        return std::nullopt;
    ::posix_fadvise(fd, dataStart, 0, POSIX_FADV_SEQUENTIAL);

    const int bytesPerSample = header->bitDepth / 8;
    const std::size_t frameBytes = std::size_t(bytesPerSample) * std::size_t(header->channels);
    const std::size_t windowFrames = std::max<std::size_t>(contentWindow / frameBytes, 1);
    std::vector<unsigned char> window(windowFrames * frameBytes + 1); // a byte to spare: widen()
    std::vector<std::int32_t> block(std::size_t(blockFrames) * std::size_t(header->channels));
    Pass<std::int32_t> pass = integerPass(header->channels, header->bitDepth);
    std::int64_t left = header->frames;
    std::int64_t at = dataStart;
    while (left > 0) {
        const std::size_t want =
            std::min<std::size_t>(windowFrames, std::size_t(left)) * frameBytes;
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = ::pread(fd, window.data() + got, want - got, at + std::int64_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return std::optional<AudioContent>(AudioContent{.readable = false});
            if (n == 0)
                break; // the file was cut short since its header was read: its end is here
            got += std::size_t(n);
        }
        const std::size_t frames = got / frameBytes;
        for (std::size_t done = 0; done < frames;) {
            // Asked before every block, as the library's pass asks.
            if (cancelled && cancelled())
                return std::optional<AudioContent>();
            const std::size_t n = std::min<std::size_t>(frames - done, std::size_t(blockFrames));
            widen(window.data() + done * frameBytes, block.data(),
                  n * std::size_t(header->channels), bytesPerSample);
            pass.add(block.data(), sf_count_t(n));
            done += n;
        }
        if (got < want)
            break;
        left -= std::int64_t(frames);
        at += std::int64_t(got);
    }
    return std::optional<AudioContent>(pass.result());
}

} // namespace

namespace {

// The UTF-8 bytes of path, NUL-terminated, in out when they fit (the usual case: no allocation
// per file); false for a longer path or one with a lone surrogate, which QString::toUtf8 encodes.
bool utf8Into(const QString& path, char* out, std::size_t room) {
    const auto* u = reinterpret_cast<const char16_t*>(path.utf16());
    const qsizetype n = path.size();
    std::size_t w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (w + 5 > room)
            return false;
        std::uint32_t c = u[i];
        if (c < 0x80) {
            out[w++] = char(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c > 0xDBFF || i + 1 == n || u[i + 1] < 0xDC00 || u[i + 1] > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (u[++i] - 0xDC00);
        }
        if (c < 0x800) {
            out[w++] = char(0xC0 | c >> 6);
        } else if (c < 0x10000) {
            out[w++] = char(0xE0 | c >> 12);
            out[w++] = char(0x80 | (c >> 6 & 0x3F));
        } else {
            out[w++] = char(0xF0 | c >> 18);
            out[w++] = char(0x80 | (c >> 12 & 0x3F));
            out[w++] = char(0x80 | (c >> 6 & 0x3F));
        }
        out[w++] = char(0x80 | (c & 0x3F));
    }
    out[w] = '\0';
    return true;
}

} // namespace

AudioHeader SndfileReader::header(const QString& path) const {
    // One open and one read for a plain WAV file, its header parsed where it was read; the
    // library only for the rest.
    char name[1024];
    const QByteArray longName = utf8Into(path, name, sizeof name) ? QByteArray() : path.toUtf8();
    const int fd = ::open(longName.isNull() ? name : longName.constData(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st;
    unsigned char bytes[headerWindow];
    std::optional<AudioHeader> plain;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        // The first kilobyte holds most headers; the whole window is read only when the chunks
        // before the data go on past it.
        auto* out = reinterpret_cast<char*>(bytes);
        std::size_t length = std::size_t(readAt(fd, out, sf_count_t(firstHeaderRead), 0));
        plain = plainWavHeader(bytes, length, st.st_size);
        if (!plain && length == firstHeaderRead) {
            length += std::size_t(
                readAt(fd, out + length, sf_count_t(headerWindow - length), sf_count_t(length)));
            plain = plainWavHeader(bytes, length, st.st_size);
        }
    }
    ::close(fd);
    return plain ? *plain : libraryHeader(path);
}

AudioHeader SndfileReader::libraryHeader(const QString& path) {
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
    if (std::optional<std::optional<AudioContent>> plain = plainWavContent(path, cancelled))
        return *plain;
    return libraryContent(path, cancelled);
}

std::optional<AudioContent> SndfileReader::libraryContent(const QString& path,
                                                          const std::function<bool()>& cancelled) {
    SF_INFO info;
    const OpenAudio f(path, info, contentWindow);
    if (!f.get())
        return AudioContent{.readable = false};
    AudioHeader header;
    describeFormat(info.format, header);
    if (header.bitDepth > 0 && !header.floatingPoint)
        return stream(
            f.get(), integerPass(info.channels, header.bitDepth),
            [](SNDFILE* s, int* b, sf_count_t n) { return sf_readf_int(s, b, n); }, cancelled);
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
