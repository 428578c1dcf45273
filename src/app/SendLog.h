#pragma once

#include "core/FileOps.h"

#include <QString>

#include <string>

namespace Vantrel {

// The send log: a UTF-8 text file that holds the last send only, one line per progress report and
// a closing line. Started (emptied) on the main thread when a send begins; its lines are appended
// from the thread that runs the send, each by open, append, close, so the file is whole whenever
// a line is. A log that cannot be made or written is skipped without a word: the send goes on.
class SendLog {
public:
    // "app-send-log.txt" in the configuration folder.
    static QString defaultPath();

    explicit SendLog(QString path = defaultPath());

    const QString& path() const { return path_; }
    // Empties the log, making its folder first when a new user has none. False when it cannot.
    bool start(FileOps& ops) const;
    // Appends one line and a line feed to the log; nothing when the log does not exist.
    void append(const QString& line) const;

private:
    QString path_;
    std::string encoded_; // the file name as the system takes it
};

} // namespace Vantrel
