#include "audio/SndfileReader.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace Vantrel::Audio {

namespace {

// An open audio file: the library's handle and the descriptor under it, closed in that order.
class OpenAudio {
public:
    OpenAudio(const QString& path, SF_INFO& info) {
        info = {};
        fd_ = ::open(QFile::encodeName(path).constData(),
                     O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd_ < 0)
            return;
        file_ = sf_open_fd(fd_, SFM_READ, &info, SF_FALSE);
        if (file_ && (info.channels <= 0 || info.samplerate <= 0 || info.frames < 0)) {
            sf_close(file_);
            file_ = nullptr;
        }
    }
    ~OpenAudio() {
        if (file_)
            sf_close(file_);
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenAudio(const OpenAudio&) = delete;
    OpenAudio& operator=(const OpenAudio&) = delete;

    // Null when the file cannot be opened or the library does not read its format.
    SNDFILE* get() const { return file_; }

private:
    int fd_ = -1;
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

// Running figures of the content pass over interleaved blocks of samples.
template <typename Sample> struct Pass {
    int channels;
    Sample fullPositive, fullNegative;
    double scale; // the magnitude of full scale
    double peak = 0;
    double maxDifference = 0;
    std::int64_t clippedRuns = 0;
    std::vector<int> run;

    Pass(int ch, Sample pos, Sample neg, double s)
        : channels(ch), fullPositive(pos), fullNegative(neg), scale(s), run(std::size_t(ch), 0) {}

    void add(const Sample* block, sf_count_t frames) {
        Sample hi = 0, lo = 0;
        double difference = 0;
        for (sf_count_t i = 0; i < frames; ++i) {
            const Sample* frame = block + i * channels;
            for (int c = 0; c < channels; ++c) {
                const Sample s = frame[c];
                hi = std::max(hi, s);
                lo = std::min(lo, s);
                if (s >= fullPositive || s <= fullNegative) {
                    if (++run[std::size_t(c)] == clipRunLength)
                        ++clippedRuns;
                } else {
                    run[std::size_t(c)] = 0;
                }
                if (c > 0)
                    difference =
                        std::max(difference, std::abs(double(frame[c]) - double(frame[0])));
            }
        }
        peak = std::max({peak, double(hi), -double(lo)});
        maxDifference = std::max(maxDifference, difference);
    }

    AudioContent result() const {
        AudioContent content;
        if (peak > 0)
            content.peakDb = 20.0 * std::log10(peak / scale);
        const double silence = std::pow(10.0, silenceDb / 20.0) * scale;
        content.dualMono = channels >= 2 && maxDifference < silence;
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
    const OpenAudio f(path, info);
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
    const OpenAudio f(path, info);
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
