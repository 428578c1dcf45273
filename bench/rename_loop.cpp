// The floor for organizing in place: a bare loop of renameat2(RENAME_NOREPLACE) that moves the
// files of a scanned folder into the folders and names `vantrel-cli scan --json` proposes
// (creating the folders), or with --reverse moves them back and removes the folders. Reads the
// plan before the clock starts and prints only the seconds the loop took.
//
// usage: vantrel-bench-rename-loop SCAN.json [--reverse]
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Plan {
    std::vector<std::string> folders; // absolute, in first-use order
    std::vector<std::pair<std::string, std::string>> moves;
};

bool readPlan(const char* path, Plan& plan) {
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return false;
    }
    const QJsonObject scan = QJsonDocument::fromJson(file.readAll()).object();
    const QByteArray folder = QFile::encodeName(scan[QLatin1String("folder")].toString());
    if (folder.isEmpty()) {
        std::fprintf(stderr, "%s is not the output of vantrel-cli scan --json\n", path);
        return false;
    }
    std::set<std::string> seen;
    for (const QJsonValue& v : scan[QLatin1String("items")].toArray()) {
        const QJsonObject item = v.toObject();
        const std::string dir =
            (folder + '/' + QFile::encodeName(item[QLatin1String("folder")].toString()))
                .toStdString();
        if (seen.insert(dir).second)
            plan.folders.push_back(dir);
        plan.moves.emplace_back(
            (folder + '/' + QFile::encodeName(item[QLatin1String("file")].toString()))
                .toStdString(),
            dir + '/' + QFile::encodeName(item[QLatin1String("newName")].toString()).toStdString());
    }
    return true;
}

bool fail(const char* what, const std::string& path) {
    std::fprintf(stderr, "%s %s: %s\n", what, path.c_str(), std::strerror(errno));
    return false;
}

bool forward(const Plan& plan) {
    for (const std::string& dir : plan.folders)
        if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
            return fail("mkdir", dir);
    for (const auto& [from, to] : plan.moves)
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
            return fail("rename", from);
    return true;
}

bool reverse(const Plan& plan) {
    for (auto it = plan.moves.rbegin(); it != plan.moves.rend(); ++it)
        if (::renameat2(AT_FDCWD, it->second.c_str(), AT_FDCWD, it->first.c_str(),
                        RENAME_NOREPLACE) != 0)
            return fail("rename", it->second);
    for (const std::string& dir : plan.folders)
        if (::rmdir(dir.c_str()) != 0)
            return fail("rmdir", dir);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool back = argc == 3 && std::strcmp(argv[2], "--reverse") == 0;
    if (argc != 2 && !back) {
        std::fprintf(stderr, "usage: %s SCAN.json [--reverse]\n", argv[0]);
        return 2;
    }
    Plan plan;
    if (!readPlan(argv[1], plan))
        return 1;
    const auto start = std::chrono::steady_clock::now();
    if (!(back ? reverse(plan) : forward(plan)))
        return 1;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.6f\n", took.count());
    return 0;
}
