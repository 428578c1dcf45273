// "Show in Finder" on this desktop: the file manager asked over a private session bus, and the
// folder opened instead when no file manager answers or there is no bus.

#include "ui/FileManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace Vantrel::UiTesting {
namespace {

// Stands in for the desktop's file manager on the bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        Q_UNUSED(startupId);
        shown << uris;
    }
};

// Receives what QDesktopServices would open.
class Opened : public QObject {
    Q_OBJECT

public:
    Opened() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~Opened() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

// A session bus of the test's own, ended with the test.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
        if (daemon_.waitForReadyRead(10000))
            address = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QDBusConnection connect(const QString& name) {
        return QDBusConnection::connectToBus(address, name);
    }
    QString address;

private:
    QProcess daemon_;
};

class FileManagerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath(QStringLiteral("Gig SORTED"));
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    QTemporaryDir dir;
    QString folder;
    Opened opened;
};

// Verifies that a file manager on the bus is asked to show the folder selected, that the call
// returns before the file manager has even seen it, and that nothing else is opened.
TEST_F(FileManagerTest, asksTheFileManagerToShowTheFolderWithoutWaitingForIt) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "no dbus-daemon";
    QDBusConnection managerSide = bus.connect(QStringLiteral("manager"));
    ASSERT_TRUE(managerSide.isConnected());
    FakeFileManager manager;
    ASSERT_TRUE(managerSide.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    ASSERT_TRUE(managerSide.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                           &manager, QDBusConnection::ExportAllSlots));
    QDBusConnection appSide = bus.connect(QStringLiteral("app"));

    Ui::revealInFileManager(folder, appSide);
    EXPECT_TRUE(manager.shown.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.shown.isEmpty(); }, 10000));
    EXPECT_EQ(manager.shown, QStringList{QUrl::fromLocalFile(folder).toString()});
    QTest::qWait(50);
    EXPECT_TRUE(opened.urls.isEmpty());

    QDBusConnection::disconnectFromBus(QStringLiteral("app"));
    QDBusConnection::disconnectFromBus(QStringLiteral("manager"));
}

// Verifies the fallback: with no file manager on the bus, or no bus at all, the folder itself is
// opened, and for a file, the folder holding it.
TEST_F(FileManagerTest, opensTheFolderWhenNoFileManagerAnswers) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "no dbus-daemon";
    const QString file = folder + QStringLiteral("/01_KICK.wav");
    struct Case {
        const char* name;
        QString busAddress;
        QString path;
        QString opens;
    };
    const Case cases[] = {
        {"no file manager on the bus", bus.address, folder, folder},
        {"no bus", QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("no-bus")), folder,
         folder},
        {"a file, no bus", QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("no-bus")),
         file, folder},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        opened.urls.clear();
        const QString name = QStringLiteral("case%1").arg(n++);
        Ui::revealInFileManager(c.path, QDBusConnection::connectToBus(c.busAddress, name));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.urls.isEmpty(); }, 10000));
        EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(c.opens)});
        QDBusConnection::disconnectFromBus(name);
    }
}

} // namespace
} // namespace Vantrel::UiTesting

#include "FileManagerTest.moc"
