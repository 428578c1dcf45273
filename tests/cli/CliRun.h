#pragma once

// Runs the built vantrel-cli as another program would: arguments in, text and exit code out.
// VANTREL_CLI_PATH is defined by the test's build rule.

#include <QByteArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace Vantrel::CliTesting {

struct CliRun {
    int exitCode = -1; // -1 when the program did not end normally
    QByteArray out;
    QByteArray err;
};

inline CliRun cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VANTREL_CLI_PATH), args);
    if (!p.waitForFinished(60000)) {
        ADD_FAILURE() << "vantrel-cli did not finish";
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// The JSON document of bytes; a parse error fails the test.
inline QJsonDocument parseJson(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << bytes.toStdString();
    return doc;
}

} // namespace Vantrel::CliTesting
