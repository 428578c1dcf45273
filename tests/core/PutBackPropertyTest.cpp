// The put-back against random organized folders and random changes of the user afterwards: it
// never touches anything outside the folder, never deletes a file, and restores every file whose
// organized copy is still where the organization put it.

#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "support/SessionNames.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace Vantrel;
using Fixtures::snapshot;
using Fixtures::writeFile;

namespace {

constexpr int rounds = 60;
constexpr int maxChanges = 8;

class PutBackProperty : public testing::Test {
protected:
    QTemporaryDir dir;
    QString session = dir.filePath(QStringLiteral("Session"));
    QString outside = dir.filePath(QStringLiteral("Outside"));
    std::mt19937 random;
    int serial = 0;

    QString at(const QString& rel) const { return QDir(session).filePath(rel); }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    // A content no other file has, so that every file can be followed by its content.
    QByteArray freshContent() { return "content " + QByteArray::number(++serial); }

    // Every entry of the session (links not followed), relative paths.
    QStringList entries() const {
        const auto tree = snapshot(session);
        return tree.keys();
    }

    QStringList entriesOf(const QByteArray& kind) const {
        QStringList out;
        const auto tree = snapshot(session);
        for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
            const bool folder = it.value() == "<dir>";
            const bool link = it.value() == "<link>";
            // The program's own files are not the user's to change here.
            const bool own = it.key() == Engine::journalName ||
                             it.key() == Engine::manifestName ||
                             it.key() == Engine::importOrderName;
            if ((kind == "<dir>" && folder) || (kind == "<link>" && link) ||
                (kind == "file" && !folder && !link && !own))
                out << it.key();
        }
        return out;
    }

    // One random change of the user's.
    void change() {
        const QStringList files = entriesOf("file");
        QStringList folders = entriesOf("<dir>");
        folders.prepend(QString()); // the session itself
        const QString someFolder = folders[pick(int(folders.size()))];
        const auto inFolder = [&](const QString& folder, const QString& name) {
            return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
        };
        const QString name = QStringLiteral("user %1.wav").arg(++serial);
        switch (pick(6)) {
        case 0: // rename a file within its folder
            if (!files.isEmpty()) {
                const QString f = files[pick(int(files.size()))];
                QFile::rename(
                    at(f), at(inFolder(QFileInfo(f).path() == "." ? QString() : QFileInfo(f).path(),
                                       name)));
            }
            break;
        case 1: // move a file into another folder
            if (!files.isEmpty())
                QFile::rename(at(files[pick(int(files.size()))]), at(inFolder(someFolder, name)));
            break;
        case 2: // delete a file
            if (!files.isEmpty())
                QFile::remove(at(files[pick(int(files.size()))]));
            break;
        case 3: // add a file
            writeFile(at(inFolder(someFolder, name)), freshContent());
            break;
        case 4: // add a folder, with a file or empty
            QDir().mkpath(at(inFolder(someFolder, QStringLiteral("folder %1").arg(++serial))));
            if (pick(2))
                writeFile(at(inFolder(someFolder, QStringLiteral("folder %1/x.wav").arg(serial))),
                          freshContent());
            break;
        case 5: { // plant a link: at a new name, in place of a folder, or at an old name
            const QStringList targets = {outside, QDir(outside).filePath("keys"), session,
                                         at(someFolder)};
            const QString target = targets[pick(int(targets.size()))];
            QString where;
            switch (pick(3)) {
            case 0:
                where = inFolder(someFolder, QStringLiteral("link %1").arg(++serial));
                break;
            case 1:
                if (someFolder.isEmpty())
                    return;
                // Only an empty folder is replaced, so that no file is lost by the change.
                if (!QDir(at(someFolder))
                         .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System))
                    return;
                QDir().rmdir(at(someFolder));
                where = someFolder;
                break;
            default:
                where = QStringLiteral("%1").arg(pick(20) + 1) + QStringLiteral("Kick In#01.1.wav");
                break;
            }
            QFile::link(target, at(where));
            break;
        }
        }
    }

    // Whether the organized file at rel is a regular file reached through real folders only.
    bool reachableFile(const QString& rel) const {
        QString path = session;
        const QStringList parts = rel.split(QLatin1Char('/'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            path += QLatin1Char('/') + parts[i];
            const QFileInfo info(path);
            if (info.isSymLink() || !info.exists())
                return false;
            if (i + 1 < parts.size() ? !info.isDir() : !info.isFile())
                return false;
        }
        return true;
    }
};

// Verifies the three promises of the put-back over many random folders and changes.
TEST_F(PutBackProperty, shouldStayInsideKeepEveryFileAndRestoreWhatIsInPlace) {
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        random.seed(std::mt19937::result_type(round));
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        writeFile(QDir(outside).filePath("keys/id"), "key");
        writeFile(QDir(outside).filePath("notes.txt"), "notes");
        QDir().mkpath(session);

        const QStringList names = Fixtures::sessionNames(pick(20) + 1);
        for (const QString& n : names)
            writeFile(at(n), freshContent());
        if (pick(3) == 0)
            writeFile(at("01_DRUMS/old.wav"), freshContent());
        const auto home = snapshot(outside);
        Engine::exportItems(Engine::scan(session, Config::defaults()).items, session,
                            ExportMode::inPlace);
        const auto journal = Engine::parseJournal(Fixtures::readFile(at(Engine::journalName)));
        ASSERT_TRUE(journal);

        const int changes = pick(maxChanges + 1);
        for (int i = 0; i < changes; ++i)
            change();

        // What the put-back must keep and restore.
        const auto before = snapshot(session);
        QMultiHash<QByteArray, QString> contents;
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            if (it.value() != "<dir>" && it.value() != "<link>" &&
                it.key() != Engine::journalName && it.key() != Engine::manifestName &&
                it.key() != Engine::importOrderName)
                contents.insert(it.value(), it.key());
        QList<std::pair<QString, QByteArray>> inPlace; // old name, content
        for (const Move& m : *journal) {
            const QString rel = m.to.mid(session.size() + 1);
            if (reachableFile(rel))
                inPlace.push_back({QFileInfo(m.from).fileName(), before.value(rel)});
        }

        Engine::PutBackResult result;
        try {
            result = Engine::undo(session);
        } catch (const Error& e) {
            ADD_FAILURE() << "the put-back failed: " << e.what();
        }

        EXPECT_EQ(snapshot(outside), home);
        const auto after = snapshot(session);
        QSet<QByteArray> present;
        for (const QByteArray& v : after)
            present.insert(v);
        for (auto it = contents.cbegin(); it != contents.cend(); ++it)
            EXPECT_TRUE(present.contains(it.key())) << "lost " << qPrintable(it.value());
        for (const auto& [oldName, content] : inPlace) {
            // Back under its old name, or the old name with _NN when that was taken.
            const QString base = QFileInfo(oldName).completeBaseName();
            bool back = after.value(oldName) == content;
            for (auto it = after.cbegin(); !back && it != after.cend(); ++it)
                back = !it.key().contains(QLatin1Char('/')) && it.value() == content &&
                       it.key().startsWith(base + QLatin1Char('_'));
            EXPECT_TRUE(back) << "not restored: " << qPrintable(oldName);
        }
    }
}

} // namespace
