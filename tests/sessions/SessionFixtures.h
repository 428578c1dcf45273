#pragma once

// Result folders for the session exports: audio files in group folders and the manifest that
// lists them, written as an export writes them; and the rule for the tools the tests need.

#include "core/Manifest.h"
#include "support/AudioFiles.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QList>
#include <QMap>
#include <QString>

#include <gtest/gtest.h>

namespace Vantrel::Fixtures {

// One audio file of a result folder: a tone of that shape at folder/name.
struct ResultFile {
    QString folder;
    QString name;
    int channels = 1;
    int sampleRate = 48000;
    int frames = 4800;
};

// Writes the files into result (made if missing) and its "manifest.json", each folder listing
// its files in the order given.
inline void writeResultFolder(const QString& result, const QList<ResultFile>& files) {
    QMap<QString, QStringList> manifest;
    for (const ResultFile& f : files) {
        ASSERT_TRUE(QDir().mkpath(result + QLatin1Char('/') + f.folder));
        AudioShape shape;
        shape.sampleRate = f.sampleRate;
        shape.channels = f.channels;
        shape.frames = f.frames;
        shape.format = 0;
        shape.sample = tone(0.25, 220.0 + 10.0 * manifest.size(), f.sampleRate);
        ASSERT_TRUE(
            writeAudio(result + QLatin1Char('/') + f.folder + QLatin1Char('/') + f.name, shape));
        manifest[f.folder] << f.name;
    }
    writeFile(result + QStringLiteral("/manifest.json"), Engine::manifestJson(manifest));
}

// A program or file a test needs is missing: the test fails under continuous integration
// (CI=true), where everything it needs must be installed, and is skipped elsewhere.
#define VANTREL_NEED(found, what)                                                                  \
    do {                                                                                           \
        if (!(found)) {                                                                            \
            if (qgetenv("CI") == "true")                                                           \
                FAIL() << (what) << " is needed and missing (CI=true)";                            \
            GTEST_SKIP() << (what) << " is missing";                                               \
        }                                                                                          \
    } while (false)

} // namespace Vantrel::Fixtures
