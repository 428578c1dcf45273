#include "ui/OpenRequests.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace Vantrel::Ui {
namespace {

TEST(OpenRequestsTest, aLaterLaunchHandsItsFoldersToTheRunningInstanceMadeAbsolute) {
    EXPECT_FALSE(OpenRequests::handToRunning({QStringLiteral("nobody")}, 200))
        << "no instance runs yet";

    OpenRequests running;
    ASSERT_TRUE(running.listen());
    OpenRequests second;
    EXPECT_FALSE(second.listen()) << "only one instance listens";

    QSignalSpy requested(&running, &OpenRequests::openRequested);
    const QString absolute = QDir::root().absoluteFilePath(QStringLiteral("Sessions/Other Folder"));
    ASSERT_TRUE(OpenRequests::handToRunning({QStringLiteral("Live Set"), absolute}));
    ASSERT_TRUE(requested.wait(5000));
    EXPECT_EQ(
        requested.first().first().toStringList(),
        (QStringList{QDir::current().absoluteFilePath(QStringLiteral("Live Set")), absolute}));

    // A launch without folders only asks for the window.
    requested.clear();
    ASSERT_TRUE(OpenRequests::handToRunning({}));
    ASSERT_TRUE(requested.wait(5000));
    EXPECT_EQ(requested.first().first().toStringList(), QStringList());
}

} // namespace
} // namespace Vantrel::Ui
