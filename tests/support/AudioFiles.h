#pragma once

// Small audio files written with libsndfile for the tests of the audio checks.

#include <QString>

#include <functional>

namespace Vantrel::Fixtures {

// What to write: the format is libsndfile's (SF_FORMAT_WAV | SF_FORMAT_PCM_24 by default); the
// sample of frame i in channel c, in ±1.0 (values beyond are written at full scale).
struct AudioShape {
    int sampleRate = 48000;
    int channels = 1;
    int format = 0;
    int frames = 4800;
    std::function<double(int frame, int channel)> sample = {};
};

// A sine tone of amplitude (1.0 = full scale) and frequency, the same in every channel.
std::function<double(int, int)> tone(double amplitude, double frequency = 440.0,
                                     int sampleRate = 48000);
// dBFS as an amplitude.
double amplitudeOf(double dbfs);

// Writes path; fails the test (and returns false) when libsndfile cannot.
bool writeAudio(const QString& path, const AudioShape& shape);

} // namespace Vantrel::Fixtures
