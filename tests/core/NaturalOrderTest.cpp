#include "core/NaturalOrder.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Vantrel;

namespace {

// Sorts with the comparison, and checks that the keyed sort agrees with it.
QStringList sorted(QStringList names) {
    QStringList keyed = names;
    NaturalOrder::sort(keyed);
    std::sort(names.begin(), names.end(), NaturalOrder::less);
    EXPECT_EQ(keyed, names);
    return names;
}

// Verifies the file-browser order, in this process that runs with LC_ALL=C.
TEST(NaturalOrder, shouldOrderLikeFileBrowserWithoutLocale) {
    const struct {
        const char* name;
        QStringList input;
        QStringList expected;
    } cases[] = {
        {"digit runs by value",
         {"10 Vox.wav", "2 Bass.wav", "1 Kick.wav"},
         {"1 Kick.wav", "2 Bass.wav", "10 Vox.wav"}},
        {"numbers inside names",
         {"Tom 10.wav", "Tom 9.wav", "Tom 1.wav"},
         {"Tom 1.wav", "Tom 9.wav", "Tom 10.wav"}},
        {"case does not split names apart",
         {"b.wav", "C.wav", "a.wav", "B2.wav"},
         {"a.wav", "b.wav", "B2.wav", "C.wav"}},
        {"leading zeros", {"010.wav", "9.wav"}, {"9.wav", "010.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sorted(c.input), c.expected);
    }
}

// Verifies that names equal but for case still sort the same whatever order they arrive in.
TEST(NaturalOrder, shouldSortIndependentlyOfInputOrder) {
    QStringList names = {"kick.wav", "Kick.wav", "KICK.wav", "kick2.wav", "Kick10.wav"};
    const QStringList first = sorted(names);
    std::reverse(names.begin(), names.end());
    EXPECT_EQ(sorted(names), first);
    EXPECT_EQ(NaturalOrder::compare(QStringLiteral("Kick.wav"), QStringLiteral("kick.wav")), 0);
}

// Verifies the locale used for letters when the process has none.
TEST(NaturalOrder, shouldPinRealLocaleWhenProcessHasNone) {
    const struct {
        const char* icuDefault;
        const char* expected;
    } cases[] = {
        {"en_US_POSIX", "en_US"},
        {"", "en_US"},
        {"root", "en_US"},
        {"C", "en_US"},
        {"de_DE", "de_DE"},
        {"sv_SE@collation=standard", "sv_SE@collation=standard"},
        {"en_US_POSIX@colcaselevel=yes", "en_US"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.icuDefault);
        EXPECT_EQ(NaturalOrder::collationLocale(QString::fromLatin1(c.icuDefault)),
                  QString::fromLatin1(c.expected));
    }
}

} // namespace
