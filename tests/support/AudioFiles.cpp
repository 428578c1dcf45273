#include "support/AudioFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sndfile.h>
#include <vector>

namespace Vantrel::Fixtures {

std::function<double(int, int)> tone(double amplitude, double frequency, int sampleRate) {
    return [=](int i, int) {
        return amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / sampleRate);
    };
}

double amplitudeOf(double dbfs) {
    return std::pow(10.0, dbfs / 20.0);
}

bool writeAudio(const QString& path, const AudioShape& shape) {
    SF_INFO info{};
    info.samplerate = shape.sampleRate;
    info.channels = shape.channels;
    info.format = shape.format ? shape.format : (SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f) {
        ADD_FAILURE() << "libsndfile cannot write " << path.toStdString() << ": "
                      << sf_strerror(nullptr);
        return false;
    }
    // Values beyond ±1.0 are clipped, as a converter would.
    sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::vector<double> frames(std::size_t(shape.frames) * std::size_t(shape.channels));
    for (int i = 0; i < shape.frames; ++i)
        for (int c = 0; c < shape.channels; ++c)
            frames[std::size_t(i) * std::size_t(shape.channels) + std::size_t(c)] =
                std::clamp(shape.sample(i, c), -1.0, 1.0);
    const sf_count_t written = sf_writef_double(f, frames.data(), shape.frames);
    sf_close(f);
    EXPECT_EQ(written, shape.frames) << path.toStdString();
    return written == shape.frames;
}

} // namespace Vantrel::Fixtures
