#include "ui/OpenRequests.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Vantrel::Ui {
namespace {

constexpr uid_t nobody = 65534;

QString currentUserName() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

bool setMode(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

bool giveToNobody(const QString& path) {
    return ::lchown(QFile::encodeName(path).constData(), nobody, nobody) == 0;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

// Runs body in a child process that has become the user nobody, after prepare (still the
// superuser). Only system calls in the child: the test process has threads.
template <typename Prepare, typename Body> pid_t asNobody(Prepare prepare, Body body) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    prepare();
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
        ::_exit(90);
    body();
    ::_exit(0);
}

int exitStatusOf(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each test has its own runtime folder (the environment's, closed to others) and its own
// temporary folder, where Qt looks for a runtime folder when the environment's will not do.
class OpenRequestsTest : public testing::Test {
public:
    QTemporaryDir root;
    QString runtime;
    QString temporary;
    QString fallback; // the runtime folder Qt makes in the temporary folder

    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        for (int i = 0; i < 2; ++i) {
            had_[i] = qEnvironmentVariableIsSet(names_[i]);
            saved_[i] = qgetenv(names_[i]);
        }
        renewFolders();
    }

    void TearDown() override {
        for (int i = 0; i < 2; ++i) {
            if (had_[i])
                qputenv(names_[i], saved_[i]);
            else
                qunsetenv(names_[i]);
        }
        setMode(root.path(), 0700);
        setMode(runtime, 0700);
    }

    // Empty runtime and temporary folders, named by the environment.
    void renewFolders() {
        runtime = root.filePath(QStringLiteral("run"));
        temporary = root.filePath(QStringLiteral("tmp"));
        fallback = temporary + QStringLiteral("/runtime-") + currentUserName();
        QFile::remove(root.filePath(QStringLiteral("link")));
        for (const QString& folder : {runtime, temporary}) {
            setMode(folder, 0700);
            QDir(folder).removeRecursively();
            ASSERT_TRUE(QDir().mkdir(folder));
        }
        ASSERT_TRUE(setMode(runtime, 0700));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("TMPDIR", QFile::encodeName(temporary));
    }

    QString makeFolder(const QString& name) {
        const QString path = root.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }

    // Keeps Qt from making a runtime folder of its own in the temporary folder.
    void blockFallback() {
        QFile block(fallback);
        ASSERT_TRUE(block.open(QIODevice::WriteOnly));
    }

private:
    static constexpr const char* names_[2] = {"XDG_RUNTIME_DIR", "TMPDIR"};
    QByteArray saved_[2];
    bool had_[2] = {false, false};
};

// Verifies the hand-off between two launches of one user: a later launch hands its folders to
// the running instance made absolute, only one instance listens, and the socket lies in the
// runtime folder, open to its user alone.
TEST_F(OpenRequestsTest, aLaterLaunchHandsItsFoldersToTheRunningInstanceMadeAbsolute) {
    const QString live = makeFolder(QStringLiteral("Live Set"));
    const QString other = makeFolder(QStringLiteral("Sessions/Other Folder"));
    const OpenRequests::HandOff none = OpenRequests::handToRunning({live}, 200);
    EXPECT_FALSE(none.taken) << "no instance runs yet";
    EXPECT_EQ(none.refusal, QString());

    OpenRequests running;
    const OpenRequests::Listening listening = running.listen();
    ASSERT_TRUE(listening.listening) << listening.refusal.toStdString();
    const QString socket = OpenRequests::socketPlace().path;
    EXPECT_EQ(QFileInfo(socket).absolutePath(), runtime);
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(socket).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    OpenRequests second;
    const OpenRequests::Listening again = second.listen();
    EXPECT_FALSE(again.listening) << "only one instance listens";
    EXPECT_EQ(again.refusal, QString());

    QSignalSpy requested(&running, &OpenRequests::openRequested);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.path()));
    const OpenRequests::HandOff handOff =
        OpenRequests::handToRunning({QStringLiteral("Live Set"), other});
    QDir::setCurrent(before);
    ASSERT_TRUE(handOff.taken);
    ASSERT_TRUE(requested.wait(5000));
    EXPECT_EQ(requested.first().first().toStringList(), (QStringList{live, other}));

    // A launch without folders only asks for the window.
    requested.clear();
    ASSERT_TRUE(OpenRequests::handToRunning({}).taken);
    ASSERT_TRUE(requested.wait(5000));
    EXPECT_EQ(requested.first().first().toStringList(), QStringList());
}

// Verifies that a socket file of this user that nobody answers on (an instance that was killed)
// is replaced, and that the socket goes when the instance does.
TEST_F(OpenRequestsTest, aStaleSocketIsReplacedAndTheSocketGoesWithTheInstance) {
    const QString path = OpenRequests::socketPlace().path;
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                     sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd); // bound, never listened: the file stays and refuses connections
    }
    {
        OpenRequests running;
        ASSERT_TRUE(running.listen().listening);
        EXPECT_TRUE(QFileInfo::exists(path));
    }
    EXPECT_EQ(entriesOf(runtime), QStringList());
}

// Verifies that neither side uses a runtime folder that is not the user's own and closed to
// others, and that both say why in a sentence; nothing is made in it.
TEST_F(OpenRequestsTest, aRuntimeFolderOthersCanReachIsRefusedOnBothSides) {
    const struct {
        const char* name;
        bool asSuperuserOnly;
        std::function<QString(OpenRequestsTest&)> arrange; // gives the reason
    } cases[] = {
        {"the temporary folder's runtime folder made first by another user", true,
         [](OpenRequestsTest& t) {
             qunsetenv("XDG_RUNTIME_DIR");
             EXPECT_TRUE(QDir().mkdir(t.fallback));
             EXPECT_TRUE(setMode(t.fallback, 0777));
             EXPECT_TRUE(giveToNobody(t.fallback));
             return QStringLiteral("Its runtime folder “%1” belongs to another user (nobody).")
                 .arg(t.fallback);
         }},
        {"the runtime folder open to everyone", false,
         [](OpenRequestsTest& t) {
             t.blockFallback();
             EXPECT_TRUE(setMode(t.runtime, 0777));
             return QStringLiteral(
                        "Its runtime folder “%1” is open to other users (mode 777, not 700).")
                 .arg(t.runtime);
         }},
        {"the runtime folder readable by its group", false,
         [](OpenRequestsTest& t) {
             t.blockFallback();
             EXPECT_TRUE(setMode(t.runtime, 0750));
             return QStringLiteral(
                        "Its runtime folder “%1” is open to other users (mode 750, not 700).")
                 .arg(t.runtime);
         }},
        {"the runtime folder a link", false,
         [](OpenRequestsTest& t) {
             t.blockFallback();
             const QString link = t.root.filePath(QStringLiteral("link"));
             EXPECT_TRUE(QFile::link(t.runtime, link));
             qputenv("XDG_RUNTIME_DIR", QFile::encodeName(link));
             return QStringLiteral("Its runtime folder “%1” is not a folder.").arg(link);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.asSuperuserOnly && ::geteuid() != 0)
            continue; // only the superuser can make a folder of another user
        renewFolders();
        const QString reason = c.arrange(*this);
        EXPECT_EQ(OpenRequests::socketPlace().problem, reason);

        const OpenRequests::HandOff handOff =
            OpenRequests::handToRunning({makeFolder(QStringLiteral("Session"))});
        EXPECT_FALSE(handOff.taken);
        EXPECT_EQ(handOff.refusal, QStringLiteral("Vantrel opens on its own without handing its "
                                                  "folders to a running Vantrel. %1")
                                       .arg(reason));
        OpenRequests requests;
        const OpenRequests::Listening listening = requests.listen();
        EXPECT_FALSE(listening.listening);
        EXPECT_EQ(listening.refusal,
                  QStringLiteral("A later launch of Vantrel can't hand folders to this window. "
                                 "%1")
                      .arg(reason));
        EXPECT_EQ(entriesOf(runtime), QStringList());
        if (QFileInfo(fallback).isDir()) {
            EXPECT_EQ(entriesOf(fallback), QStringList());
        }
    }
}

// A socket at this user's socket path served by the user nobody (bound as the superuser in the
// closed folder, then listened on after giving up to nobody, so that its peer is nobody). It
// counts the connections it gets and the bytes they send until the connection that says "END",
// and reports both over a pipe.
class Squatter {
public:
    Squatter(const QString& path, bool fileToNobody) : path_(QFile::encodeName(path)) {
        int ready[2], report[2];
        if (::pipe(ready) != 0 || ::pipe(report) != 0)
            return;
        pid_ = asNobody(
            [&] {
                listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
                sockaddr_un address{};
                address.sun_family = AF_UNIX;
                std::strncpy(address.sun_path, path_.constData(), sizeof address.sun_path - 1);
                if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
                    ::_exit(91);
                ::chmod(path_.constData(), 0777);
                if (fileToNobody && ::lchown(path_.constData(), nobody, nobody) != 0)
                    ::_exit(92);
            },
            [&] {
                if (::listen(listener_, 8) != 0)
                    ::_exit(93);
                [[maybe_unused]] ssize_t n = ::write(ready[1], "r", 1);
                long connections = 0, bytes = 0;
                for (;;) {
                    const int c = ::accept(listener_, nullptr, nullptr);
                    if (c < 0)
                        ::_exit(94);
                    char buffer[4096];
                    long got = 0;
                    bool end = false;
                    for (ssize_t r; (r = ::read(c, buffer, sizeof buffer)) > 0;) {
                        got += r;
                        end = r == 3 && std::memcmp(buffer, "END", 3) == 0;
                    }
                    ::close(c);
                    if (end) {
                        const long figures[2] = {connections, bytes};
                        n = ::write(report[1], figures, sizeof figures);
                        ::_exit(0);
                    }
                    ++connections;
                    bytes += got;
                }
            });
        ::close(ready[1]);
        ::close(report[1]);
        char byte = 0;
        pollfd p{ready[0], POLLIN, 0};
        listening_ = ::poll(&p, 1, 10000) == 1 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        report_ = report[0];
    }

    ~Squatter() {
        if (pid_ > 0 && !reported_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (report_ >= 0)
            ::close(report_);
    }

    bool listening() const { return listening_; }

    // Ends the squatter: {connections, bytes} it got before.
    std::pair<long, long> report() {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.constData(), sizeof address.sun_path - 1);
        long figures[2] = {-1, -1};
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::write(fd, "END", 3) == 3) {
            ::shutdown(fd, SHUT_WR);
            pollfd p{report_, POLLIN, 0};
            if (::poll(&p, 1, 10000) == 1 &&
                ::read(report_, figures, sizeof figures) == ssize_t(sizeof figures)) {
                reported_ = true;
                exitStatusOf(pid_);
            }
        }
        ::close(fd);
        return {figures[0], figures[1]};
    }

private:
    QByteArray path_;
    pid_t pid_ = -1;
    int listener_ = -1;
    int report_ = -1;
    bool listening_ = false;
    bool reported_ = false;
};

// Verifies that a socket another user put at this user's socket path is refused on both sides,
// with the user told why: a socket file of that user is not even connected to; a socket of this
// user's whose listener runs as that user is told nothing; it is left in place.
TEST_F(OpenRequestsTest, aSocketSquattedByAnotherUserIsToldNothing) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can run a process as another user";
    const QString path = OpenRequests::socketPlace().path;
    const QString session = makeFolder(QStringLiteral("Secret Session"));
    const struct {
        const char* name;
        bool fileToNobody;
        QString reason;
        long connections; // what the squatter got: from the hand-off and the listen's probe
    } cases[] = {
        {"socket file of another user", true,
         QStringLiteral("Its socket “%1” belongs to another user (nobody).").arg(path), 0},
        {"listener of another user", false,
         QStringLiteral("The program answering at “%1” runs as another user (nobody).").arg(path),
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        Squatter squatter(path, c.fileToNobody);
        ASSERT_TRUE(squatter.listening());

        const OpenRequests::HandOff handOff = OpenRequests::handToRunning({session});
        EXPECT_FALSE(handOff.taken);
        EXPECT_EQ(handOff.refusal, QStringLiteral("Vantrel opens on its own without handing its "
                                                  "folders to a running Vantrel. %1")
                                       .arg(c.reason));
        OpenRequests requests;
        const OpenRequests::Listening listening = requests.listen();
        EXPECT_FALSE(listening.listening);
        EXPECT_EQ(listening.refusal,
                  QStringLiteral("A later launch of Vantrel can't hand folders to this window. "
                                 "%1")
                      .arg(c.reason));
        EXPECT_EQ(squatter.report(), (std::pair<long, long>{c.connections, 0}))
            << "connections and bytes the squatter got";
        EXPECT_TRUE(QFileInfo::exists(path)) << "the other user's socket is left alone";
    }
}

// Verifies that a request from another user is dropped unread, even where the folders around
// the socket were opened to everyone after it was made.
TEST_F(OpenRequestsTest, aRequestFromAnotherUserIsIgnored) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can run a process as another user";
    const QString session = makeFolder(QStringLiteral("Planted"));
    OpenRequests running;
    ASSERT_TRUE(running.listen().listening);
    const QString path = OpenRequests::socketPlace().path;
    ASSERT_TRUE(setMode(root.path(), 0711));
    ASSERT_TRUE(setMode(runtime, 0711));
    ASSERT_TRUE(setMode(path, 0666));
    QSignalSpy requested(&running, &OpenRequests::openRequested);
    QSignalSpy ignored(&running, &OpenRequests::requestIgnored);

    const QByteArray name = QFile::encodeName(path);
    const QByteArray request = "OPEN\n" + QFile::encodeName(session) + "\n";
    const pid_t child =
        asNobody([] {},
                 [&] {
                     const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                     sockaddr_un address{};
                     address.sun_family = AF_UNIX;
                     std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
                     if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
                         ::_exit(95);
                     [[maybe_unused]] ssize_t n = ::write(fd, request.constData(), request.size());
                     ::shutdown(fd, SHUT_WR);
                     char byte;
                     while (::read(fd, &byte, 1) > 0) {
                     }
                 });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ignored.count() + requested.count() > 0; }, 10000));
    EXPECT_EQ(exitStatusOf(child), 0) << "the other user reached the socket";
    EXPECT_EQ(requested.count(), 0);
    ASSERT_EQ(ignored.count(), 1);
    EXPECT_EQ(ignored.first().first().toString(),
              QStringLiteral("The program that connected runs as another user (nobody)."));
}

// Verifies the bounds of a request from this user: too many paths, too many bytes or not a
// request are dropped whole; of the paths, only absolute ones of existing folders are passed on.
TEST_F(OpenRequestsTest, aRequestIsBoundedAndOnlyExistingFoldersAreOpened) {
    const QString folder = makeFolder(QStringLiteral("Session"));
    const QString file = root.filePath(QStringLiteral("Kick.wav"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString linked = root.filePath(QStringLiteral("Linked Session"));
    ASSERT_TRUE(QFile::link(folder, linked));
    const auto request = [](const QStringList& paths) {
        QByteArray r = "OPEN\n";
        for (const QString& p : paths)
            r += QFile::encodeName(p) + '\n';
        return r;
    };
    QStringList most, tooMany;
    for (int i = 0; i < OpenRequests::maxPaths; ++i)
        most.append(folder);
    tooMany = most + QStringList{folder};
    const QByteArray huge = "OPEN\n/" + QByteArray(OpenRequests::maxRequestBytes, 'a') + "\n";

    const struct {
        const char* name;
        QByteArray request;
        std::optional<QStringList> opened;
        QString ignored;
    } cases[] = {
        {"folders among other paths",
         request({file, folder, root.filePath(QStringLiteral("Missing")), QStringLiteral("Session"),
                  linked, QString(), folder + QStringLiteral("/../Session")}),
         QStringList{folder, linked, folder},
         {}},
        {"as many paths as allowed", request(most), most, {}},
        {"one path too many", request(tooMany), std::nullopt,
         QStringLiteral("The request names more than %1 paths.").arg(OpenRequests::maxPaths)},
        {"too long", huge, std::nullopt,
         QStringLiteral("The request is longer than %1 bytes.").arg(OpenRequests::maxRequestBytes)},
        {"not a request", "SHOW\n" + QFile::encodeName(folder) + "\n", std::nullopt,
         QStringLiteral("It is not a request to open folders.")},
    };
    OpenRequests running;
    ASSERT_TRUE(running.listen().listening);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QSignalSpy requested(&running, &OpenRequests::openRequested);
        QSignalSpy ignored(&running, &OpenRequests::requestIgnored);
        QLocalSocket client;
        client.connectToServer(OpenRequests::socketPlace().path);
        ASSERT_TRUE(client.waitForConnected(5000));
        client.write(c.request);
        client.disconnectFromServer();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return ignored.count() + requested.count() > 0; }, 10000));
        if (c.opened) {
            ASSERT_EQ(requested.count(), 1);
            EXPECT_EQ(requested.first().first().toStringList(), *c.opened);
            EXPECT_EQ(ignored.count(), 0);
        } else {
            EXPECT_EQ(requested.count(), 0);
            ASSERT_EQ(ignored.count(), 1);
            EXPECT_EQ(ignored.first().first().toString(), c.ignored);
        }
    }
}

// The application itself, started as a user would, in the test's folders.
class Application {
public:
    explicit Application(const QString& home, const QString& runtime, const QString& temporary,
                         const QStringList& args = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("TMPDIR"), temporary);
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        // Under the address sanitizer a leak report at exit would change the exit status this
        // test reads; what the whole application keeps at exit is not its subject.
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VANTREL_APP_PATH), args);
    }
    ~Application() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }
    QProcess process;
};

// Verifies that the application asked to stop by a signal leaves as when the user quits: with
// its socket removed and the status 128 + the signal's number.
TEST_F(OpenRequestsTest, theApplicationRemovesItsSocketWhenAskedToStop) {
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(::strsignal(number));
        Application app(makeFolder(QStringLiteral("home")), runtime, temporary);
        ASSERT_TRUE(app.process.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !entriesOf(runtime).isEmpty(); }, 60000))
            << app.process.readAllStandardError().toStdString();
        ASSERT_EQ(::kill(pid_t(app.process.processId()), number), 0);
        ASSERT_TRUE(app.process.waitForFinished(60000));
        EXPECT_EQ(app.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.process.exitCode(), 128 + number);
        EXPECT_EQ(entriesOf(runtime), QStringList());
    }
}

// Verifies that the application with a runtime folder others can reach still opens, and tells
// its user why it takes no folders from other launches.
TEST_F(OpenRequestsTest, theApplicationOpensAndSaysWhyWhenItsRuntimeFolderIsOpen) {
    blockFallback();
    ASSERT_TRUE(setMode(runtime, 0777));
    Application app(makeFolder(QStringLiteral("home")), runtime, temporary,
                    {makeFolder(QStringLiteral("Session"))});
    ASSERT_TRUE(app.process.waitForStarted(10000));
    const QByteArray sentence =
        QStringLiteral("Vantrel opens on its own without handing its folders to a running "
                       "Vantrel. Its runtime folder “%1” is open to other users (mode "
                       "777, not 700).")
            .arg(runtime)
            .toUtf8();
    QByteArray err;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            err += app.process.readAllStandardError();
            return err.contains(sentence) || app.process.state() == QProcess::NotRunning;
        },
        60000));
    EXPECT_TRUE(err.contains(sentence)) << err.toStdString();
    EXPECT_EQ(app.process.state(), QProcess::Running) << "the application did not open";
    EXPECT_EQ(entriesOf(runtime), QStringList());
    ::kill(pid_t(app.process.processId()), SIGTERM);
    EXPECT_TRUE(app.process.waitForFinished(60000));
}

} // namespace
} // namespace Vantrel::Ui
