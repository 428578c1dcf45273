#include "cli/Demo.h"

#include "core/Errors.h"

#include <QByteArray>
#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <numbers>
#include <unistd.h>

namespace Vantrel::Cli {

QStringList demoFileNames() {
    return {
        QStringLiteral("1Kick In#04.1.wav"),         QStringLiteral("2Kick Out#04.1.wav"),
        QStringLiteral("3Snare Top#04.1.wav"),       QStringLiteral("4Snare Bottom#04.1.wav"),
        QStringLiteral("5Hi Hat#04.1.wav"),          QStringLiteral("6Tom 1#04.1.wav"),
        QStringLiteral("7Tom 2#04.1.wav"),           QStringLiteral("8Over Head L#04.1.wav"),
        QStringLiteral("9Over Head R#04.1.wav"),     QStringLiteral("10Room Mic L#04.1.wav"),
        QStringLiteral("11Room Mic R#04.1.wav"),     QStringLiteral("12Bass DI#04.1.wav"),
        QStringLiteral("13Bass Amp#04.1.wav"),       QStringLiteral("14Electric Gtr 1#04.1.wav"),
        QStringLiteral("15Electric Gtr 2#04.1.wav"), QStringLiteral("16Acoustic Gtr#04.1.wav"),
        QStringLiteral("17Piano L#04.1.wav"),        QStringLiteral("18Piano R#04.1.wav"),
        QStringLiteral("19Organ#04.1.wav"),          QStringLiteral("20Synth Pad#04.1.wav"),
        QStringLiteral("37Vox 1#03.1.wav"),          QStringLiteral("38Vox 2#03.1.wav"),
        QStringLiteral("39BGV L#03.1.wav"),          QStringLiteral("40BGV R#03.1.wav"),
        QStringLiteral("45Talkback#03.1.wav"),       QStringLiteral("47Track Perc L#03.1.wav"),
        QStringLiteral("48Track Perc R#03.1.wav"),   QStringLiteral("60Crowd FHL#03.1.wav"),
        QStringLiteral("61Crowd FHR#03.1.wav"),      QStringLiteral("65Click#03.1.wav"),
        QStringLiteral("Session Notes.txt"),
    };
}

namespace {

void putLE(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// A mono 16-bit PCM WAV file holding a quarter second of a sine tone.
QByteArray toneWav(double frequency) {
    constexpr std::uint32_t rate = 44100;
    constexpr std::uint32_t frames = rate / 4;
    constexpr std::uint32_t dataBytes = frames * 2;
    QByteArray out;
    out.reserve(44 + dataBytes);
    out.append("RIFF");
    putLE(out, 36 + dataBytes, 4);
    out.append("WAVEfmt ");
    putLE(out, 16, 4);       // fmt chunk size
    putLE(out, 1, 2);        // PCM
    putLE(out, 1, 2);        // one channel
    putLE(out, rate, 4);     // sample rate
    putLE(out, rate * 2, 4); // byte rate
    putLE(out, 2, 2);        // block align
    putLE(out, 16, 2);       // bits per sample
    out.append("data");
    putLE(out, dataBytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        // A short fade in and out keeps the tone free of clicks.
        const double t = double(i) / rate;
        const double envelope = std::min({1.0, i / 441.0, (frames - i) / 441.0});
        const auto sample = std::int16_t(
            std::lround(8000.0 * envelope * std::sin(2.0 * std::numbers::pi * frequency * t)));
        putLE(out, std::uint16_t(sample), 2);
    }
    return out;
}

// Writes a new file whole, or fails with the system's reason and leaves nothing at path.
void writeNewFile(const QString& path, const QByteArray& bytes) {
    const QByteArray name = path.toUtf8();
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw FileError::fromErrno(QStringLiteral("Couldn't write “%1”: %2."), path, errno);
    int error = 0;
    for (qsizetype done = 0; done < bytes.size() && !error;) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n >= 0)
            done += n;
        else if (errno != EINTR)
            error = errno;
    }
    // A full disk may show only when the data is flushed or the file closed.
    if (!error && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(fd) != 0 && !error && errno != EINTR)
        error = errno;
    if (error) {
        ::unlink(name.constData());
        throw FileError::fromErrno(QStringLiteral("Couldn't write “%1”: %2."), path, error);
    }
}

} // namespace

void writeDemoSession(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw FileError(QStringLiteral("Couldn't create the folder “%1”.").arg(folder));
    const QStringList names = demoFileNames();
    for (int i = 0; i < names.size(); ++i) {
        const QString path = QDir(folder).filePath(names[i]);
        const QByteArray bytes = names[i].endsWith(QLatin1String(".wav"))
                                     ? toneWav(110.0 * std::pow(2.0, i / 12.0))
                                     : QByteArray("Recorded at the live show. Tracks 1-65.\n");
        writeNewFile(path, bytes);
    }
}

} // namespace Vantrel::Cli
