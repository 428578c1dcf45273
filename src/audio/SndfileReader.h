#pragma once

#include "core/AudioFacts.h"

namespace Vantrel::Audio {

// Frames per block of the content pass: its memory is this times the channels and a 1 MB window
// of the file, whatever the file's length.
inline constexpr int blockFrames = 16384;

// The AudioReader on libsndfile (WAV, AIFF, FLAC, Ogg, CAF, MPEG as the library reads them).
// Files are opened without following a symbolic link or blocking on a special file.
class SndfileReader : public AudioReader {
public:
    // A plain PCM or floating-point WAV file (the common case by far) is read by its own few
    // header bytes; anything else, or anything unusual in one, by the library.
    AudioHeader header(const QString& path) const override;
    // The header as the library alone reads it, whatever the file.
    static AudioHeader libraryHeader(const QString& path);
    // A plain integer WAV file's samples are read in large reads and widened here; anything
    // else goes through the library.
    std::optional<AudioContent> content(const QString& path,
                                        const std::function<bool()>& cancelled) const override;
    // The content as the library alone reads it, whatever the file.
    static std::optional<AudioContent> libraryContent(const QString& path,
                                                      const std::function<bool()>& cancelled);
};

// The one reader of the program; it keeps no state.
const AudioReader& sndfileReader();

} // namespace Vantrel::Audio
