#pragma once

#include <QCoreApplication>
#include <QString>

#include <stdexcept>

namespace Vantrel {

// Base of every failure the program reports: what() is a complete sentence for the user.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// A file-system failure. The message names the file and carries the system's own description
// of the cause (reason()), for example "No space left on device".
class FileError : public Error {
public:
    FileError(const QString& message, const QString& reason = {}, int code = 0)
        : Error(message), reason_(reason), code_(code) {}
    // The system's description of the cause, empty when there was none.
    const QString& reason() const { return reason_; }
    // The errno value behind the failure, 0 when there was none.
    int code() const { return code_; }

    // Builds the message from a whole sentence with the path as %1 and strerror(code) as %2,
    // for example "Couldn't read “%1”: %2."
    static FileError fromErrno(const QString& sentence, const QString& path, int code);

private:
    QString reason_;
    int code_;
};

// The user asked to stop; the work was rolled back. Not shown as an error.
class CancelledError : public Error {
public:
    CancelledError() : Error(QCoreApplication::translate("Vantrel::Files", "Cancelled.")) {}
};

} // namespace Vantrel
