#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}

void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

void PrintTo(const QMap<QString, QByteArray>& tree, std::ostream* os) {
    *os << "{\n";
    for (auto it = tree.cbegin(); it != tree.cend(); ++it)
        *os << "  " << it.key().toStdString() << ": "
            << (it.value().size() > 60 ? it.value().left(60) + "…" : it.value()).toStdString()
            << '\n';
    *os << '}';
}

namespace Vantrel::Fixtures {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
        return;
    }
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return f.readAll();
}

void touchAll(const QString& folder, const QStringList& names) {
    for (const QString& name : names)
        writeFile(folder + QLatin1Char('/') + name);
}

QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = base.relativeFilePath(path);
        if (info.isSymLink())
            tree.insert(rel, "<link>");
        else if (info.isDir())
            tree.insert(rel, "<dir>");
        else
            tree.insert(rel, readFile(path));
    }
    return tree;
}

} // namespace Vantrel::Fixtures
