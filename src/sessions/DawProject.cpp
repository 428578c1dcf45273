#include "sessions/DawProject.h"

#include "core/Errors.h"
#include "core/FileOps.h"
#include "sessions/Destination.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUuid>
#include <QXmlStreamWriter>

#include <charconv>
#include <zip.h>

namespace Vantrel::Sessions {

namespace {

const SessionKind what = SessionKind::dawprojectFile;

// The shortest text that reads back as v.
QString number(double v) {
    char buf[64];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, r.ptr - buf);
}

// Hands out the document's identifiers: id0, id1, …
class Ids {
public:
    QString next() { return QStringLiteral("id%1").arg(n_++); }

private:
    int n_ = 0;
};

void writeParameter(QXmlStreamWriter& xml, Ids& ids, const QString& element, const QString& unit,
                    double value, double min, double max, const QString& name) {
    xml.writeEmptyElement(element);
    xml.writeAttribute(QStringLiteral("id"), ids.next());
    xml.writeAttribute(QStringLiteral("name"), name);
    xml.writeAttribute(QStringLiteral("unit"), unit);
    xml.writeAttribute(QStringLiteral("min"), number(min));
    xml.writeAttribute(QStringLiteral("max"), number(max));
    xml.writeAttribute(QStringLiteral("value"), number(value));
}

// A mixer channel at unity gain, centred and not muted.
void writeChannel(QXmlStreamWriter& xml, Ids& ids, const QString& id, const QString& role,
                  int channels, const std::optional<QString>& destination) {
    xml.writeStartElement(QStringLiteral("Channel"));
    xml.writeAttribute(QStringLiteral("id"), id);
    xml.writeAttribute(QStringLiteral("role"), role);
    xml.writeAttribute(QStringLiteral("audioChannels"), QString::number(channels));
    if (destination)
        xml.writeAttribute(QStringLiteral("destination"), *destination);
    xml.writeAttribute(QStringLiteral("solo"), QStringLiteral("false"));
    xml.writeEmptyElement(QStringLiteral("Mute"));
    xml.writeAttribute(QStringLiteral("id"), ids.next());
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Mute"));
    xml.writeAttribute(QStringLiteral("value"), QStringLiteral("false"));
    writeParameter(xml, ids, QStringLiteral("Pan"), QStringLiteral("normalized"), 0.5, 0, 1,
                   QStringLiteral("Pan"));
    writeParameter(xml, ids, QStringLiteral("Volume"), QStringLiteral("linear"), 1, 0, 2,
                   QStringLiteral("Volume"));
    xml.writeEndElement();
}

void startTrack(QXmlStreamWriter& xml, const QString& id, const QString& contentType,
                const QString& name, const std::optional<std::uint32_t>& color) {
    xml.writeStartElement(QStringLiteral("Track"));
    xml.writeAttribute(QStringLiteral("id"), id);
    xml.writeAttribute(QStringLiteral("name"), name);
    if (color)
        xml.writeAttribute(QStringLiteral("color"), htmlColor(*color));
    xml.writeAttribute(QStringLiteral("contentType"), contentType);
    xml.writeAttribute(QStringLiteral("loaded"), QStringLiteral("true"));
}

QString zipMessage(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// The libzip archive being written, discarded (its temporary file removed) unless closed.
struct Archive {
    zip_t* zip = nullptr;
    ~Archive() {
        if (zip)
            zip_discard(zip);
    }
};

// What libzip's callbacks reach during zip_close.
struct CloseState {
    const ExportProgress* progress;
    const ExportCancelled* cancelled;
    QString status;
    bool stopped = false;
};

// Both files open alike: indented by two, XML 1.0, standalone.
void startDocument(QXmlStreamWriter& xml) {
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
}

} // namespace

QString embeddedPath(const PlannedTrack& track) {
    return QStringLiteral("audio/") + track.relativePath;
}

QByteArray dawProjectXml(const SessionPlan& plan) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startDocument(xml);
    xml.writeStartElement(QStringLiteral("Project"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    xml.writeEmptyElement(QStringLiteral("Application"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Vantrel"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral(VANTREL_VERSION));

    Ids ids;
    // The tempo means nothing to recorded audio laid out in seconds, but readers expect one.
    xml.writeStartElement(QStringLiteral("Transport"));
    writeParameter(xml, ids, QStringLiteral("Tempo"), QStringLiteral("bpm"), 120, 20, 666,
                   QStringLiteral("Tempo"));
    xml.writeEmptyElement(QStringLiteral("TimeSignature"));
    xml.writeAttribute(QStringLiteral("id"), ids.next());
    xml.writeAttribute(QStringLiteral("numerator"), QStringLiteral("4"));
    xml.writeAttribute(QStringLiteral("denominator"), QStringLiteral("4"));
    xml.writeEndElement();

    const QString masterTrack = ids.next();
    const QString masterChannel = ids.next();
    // Each audio track's id, in plan order, for its lane in the arrangement.
    QList<QString> trackIds;
    xml.writeStartElement(QStringLiteral("Structure"));
    for (const PlannedGroup& group : plan.groups) {
        QString destination = masterChannel;
        if (group.name) {
            const QString groupChannel = ids.next();
            startTrack(xml, ids.next(), QStringLiteral("tracks"), *group.name, group.color);
            writeChannel(xml, ids, groupChannel, QStringLiteral("submix"), 2, masterChannel);
            destination = groupChannel;
        }
        for (const PlannedTrack& track : group.tracks) {
            trackIds << ids.next();
            startTrack(xml, trackIds.last(), QStringLiteral("audio"), track.name, group.color);
            writeChannel(xml, ids, ids.next(), QStringLiteral("regular"), track.audio.channels,
                         destination);
            xml.writeEndElement();
        }
        if (group.name)
            xml.writeEndElement();
    }
    startTrack(xml, masterTrack, QStringLiteral("audio"), QStringLiteral("Master"), std::nullopt);
    writeChannel(xml, ids, masterChannel, QStringLiteral("master"), 2, std::nullopt);
    xml.writeEndElement();
    xml.writeEndElement(); // Structure

    xml.writeStartElement(QStringLiteral("Arrangement"));
    xml.writeAttribute(QStringLiteral("id"), ids.next());
    xml.writeStartElement(QStringLiteral("Lanes"));
    xml.writeAttribute(QStringLiteral("id"), ids.next());
    xml.writeAttribute(QStringLiteral("timeUnit"), QStringLiteral("seconds"));
    qsizetype index = 0;
    for (const PlannedGroup& group : plan.groups) {
        for (const PlannedTrack& track : group.tracks) {
            const QString& trackId = trackIds[index++];
            // A file without samples gets its track but no clip: a clip cannot be empty.
            if (track.audio.frames <= 0)
                continue;
            const QString seconds = number(track.audio.seconds());
            xml.writeStartElement(QStringLiteral("Lanes"));
            xml.writeAttribute(QStringLiteral("id"), ids.next());
            xml.writeAttribute(QStringLiteral("track"), trackId);
            xml.writeStartElement(QStringLiteral("Clips"));
            xml.writeAttribute(QStringLiteral("id"), ids.next());
            xml.writeStartElement(QStringLiteral("Clip"));
            xml.writeAttribute(QStringLiteral("name"), track.name);
            xml.writeAttribute(QStringLiteral("time"), QStringLiteral("0"));
            xml.writeAttribute(QStringLiteral("duration"), seconds);
            xml.writeAttribute(QStringLiteral("contentTimeUnit"), QStringLiteral("seconds"));
            xml.writeAttribute(QStringLiteral("playStart"), QStringLiteral("0"));
            xml.writeAttribute(QStringLiteral("playStop"), seconds);
            xml.writeStartElement(QStringLiteral("Audio"));
            xml.writeAttribute(QStringLiteral("id"), ids.next());
            xml.writeAttribute(QStringLiteral("timeUnit"), QStringLiteral("seconds"));
            xml.writeAttribute(QStringLiteral("duration"), seconds);
            xml.writeAttribute(QStringLiteral("channels"), QString::number(track.audio.channels));
            xml.writeAttribute(QStringLiteral("sampleRate"),
                               QString::number(track.audio.sampleRate));
            xml.writeEmptyElement(QStringLiteral("File"));
            xml.writeAttribute(QStringLiteral("path"), embeddedPath(track));
            xml.writeEndElement(); // Audio
            xml.writeEndElement(); // Clip
            xml.writeEndElement(); // Clips
            xml.writeEndElement(); // Lanes
        }
    }
    xml.writeEndElement(); // Lanes
    xml.writeEndElement(); // Arrangement
    xml.writeEndElement(); // Project
    xml.writeEndDocument();
    return bytes;
}

QByteArray dawMetadataXml(const SessionPlan& plan) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startDocument(xml);
    xml.writeStartElement(QStringLiteral("MetaData"));
    xml.writeTextElement(QStringLiteral("Title"), plan.title);
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

void writeDawProject(const SessionPlan& plan, const QString& target, const ExportProgress& progress,
                     const ExportCancelled& cancelled) {
    checkDestination(target, what);
    const QFileInfo info(target);
    const QString partial =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".") +
        QUuid::createUuid().toString(QUuid::Id128).left(12) + QStringLiteral(".partial");
    // The failure sentence takes the reason as %1.
    const QString failure =
        QCoreApplication::translate("Vantrel::SessionExport", "Couldn't save “%1”: %2.")
            .arg(info.fileName(), QStringLiteral("%1"));
    const QString status =
        QCoreApplication::translate("Vantrel::SessionExport", "Writing “%1”…").arg(info.fileName());
    if (progress)
        progress(0, status);

    Archive archive;
    int openError = 0;
    archive.zip = zip_open(partial.toUtf8().constData(), ZIP_CREATE | ZIP_EXCL, &openError);
    if (!archive.zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        const QString message = zipMessage(&error);
        zip_error_fini(&error);
        throw Error(failure.arg(message));
    }
    // The buffers are read when the archive is closed, so they live until then.
    const QByteArray metadata = dawMetadataXml(plan);
    const QByteArray project = dawProjectXml(plan);
    const auto addBuffer = [&](const char* name, const QByteArray& bytes) {
        zip_source_t* source =
            zip_source_buffer(archive.zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive.zip, name, source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            throw Error(failure.arg(QString::fromLocal8Bit(zip_strerror(archive.zip))));
        }
    };
    addBuffer("metadata.xml", metadata);
    addBuffer("project.xml", project);
    for (const PlannedGroup& group : plan.groups) {
        for (const PlannedTrack& track : group.tracks) {
            zip_source_t* source =
                zip_source_file(archive.zip, track.file.toUtf8().constData(), 0, -1);
            const zip_int64_t index =
                source ? zip_file_add(archive.zip, embeddedPath(track).toUtf8().constData(), source,
                                      ZIP_FL_ENC_UTF_8)
                       : -1;
            if (index < 0) {
                if (source)
                    zip_source_free(source);
                throw Error(QCoreApplication::translate("Vantrel::SessionExport",
                                                        "Couldn't save “%1”: “%2”: %3.")
                                .arg(info.fileName(), track.relativePath,
                                     QString::fromLocal8Bit(zip_strerror(archive.zip))));
            }
            zip_set_file_compression(archive.zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
    }

    CloseState state{&progress, &cancelled, status};
    zip_register_progress_callback_with_state(
        archive.zip, 0.005,
        [](zip_t*, double fraction, void* data) {
            auto* s = static_cast<CloseState*>(data);
            if (*s->progress)
                (*s->progress)(fraction * 0.99, s->status);
        },
        nullptr, &state);
    zip_register_cancel_callback_with_state(
        archive.zip,
        [](zip_t*, void* data) {
            auto* s = static_cast<CloseState*>(data);
            if (*s->cancelled && (*s->cancelled)())
                s->stopped = true;
            return s->stopped ? 1 : 0;
        },
        nullptr, &state);
    if (zip_close(archive.zip) != 0) {
        const QString message = QString::fromLocal8Bit(zip_strerror(archive.zip));
        if (state.stopped)
            throw CancelledError();
        throw Error(failure.arg(message));
    }
    archive.zip = nullptr;
    try {
        putInPlace(partial, target, what);
    } catch (...) {
        try {
            systemFileOps().remove(partial);
        } catch (const Error&) {
        }
        throw;
    }
    if (progress)
        progress(1, QCoreApplication::translate("Vantrel::SessionExport", "Saved “%1”.")
                        .arg(info.fileName()));
}

} // namespace Vantrel::Sessions
