// The Mac build exists on paper only (docs/macos.md): every method of the seams to the system
// must have its entry there, so a method added to a seam without its Mac plan fails here.
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString readSource(const QString& relative) {
    QFile f(QStringLiteral(VANTREL_SOURCE_DIR "/") + relative);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << relative.toStdString();
    return QString::fromUtf8(f.readAll());
}

// The names of the virtual methods a header declares, destructors left out.
QStringList virtualMethods(const QString& header) {
    static const QRegularExpression declaration(
        QStringLiteral(R"(\bvirtual\s+[^;{(]*?(?<![~\w])([A-Za-z_]\w*)\s*\()"));
    QStringList names;
    for (const QRegularExpressionMatch& m : declaration.globalMatch(header))
        names << m.captured(1);
    return names;
}

// Verifies that every method of the Platform seam, its Clock and FileOps is named in the Mac
// plan as `name`.
TEST(MacPlan, shouldCoverEverySeamMethod) {
    const QString plan = readSource(QStringLiteral("docs/macos.md"));
    ASSERT_FALSE(plan.isEmpty());
    for (const char* header :
         {"src/platform/Platform.h", "src/platform/Clock.h", "src/core/FileOps.h"}) {
        SCOPED_TRACE(header);
        const QStringList methods = virtualMethods(readSource(QLatin1String(header)));
        EXPECT_GE(methods.size(), 2); // the header still declares its seam this way
        for (const QString& method : methods)
            EXPECT_TRUE(plan.contains(QLatin1Char('`') + method + QLatin1Char('`')))
                << "docs/macos.md has no entry for " << method.toStdString();
    }
}

// Verifies the reading of declarations itself, on the shapes the headers use.
TEST(MacPlan, shouldReadVirtualMethodNames) {
    const QString header = QStringLiteral(
        "virtual ~Accessibility() = default;\n"
        "virtual bool isTrusted() = 0;\n"
        "virtual QList<RunningApp> runningApplications(const QString& bundleId) = 0;\n"
        "virtual std::unique_ptr<FileOps>\n    confinedTo(const QString& folder) = 0;\n"
        "virtual Duration now() const = 0;\n"
        "bool plain(int);\n");
    EXPECT_EQ(virtualMethods(header).join(' ').toStdString(),
              "isTrusted runningApplications confinedTo now");
}

} // namespace
