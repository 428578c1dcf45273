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

// Verifies that the sort, which orders names by their leading numbers without the collator
// where it can, agrees with the comparison: numbers with and without leading zeros, digits of
// other scripts that continue a number, numbers too long for 64 bits or cut by the collator,
// and names without a number, in any order.
TEST(NaturalOrder, shouldSortByLeadingNumbersAsTheComparisonDoes) {
    QStringList names;
    for (const char16_t* name : {u"1Kick.wav",
                                 u"01Kick.wav",
                                 u"001 Kick.wav",
                                 u"1 Kick.wav",
                                 u"1kick.wav",
                                 u"10.wav",
                                 u"9.wav",
                                 u"010.wav",
                                 u"0.wav",
                                 u"00.wav",
                                 u"0Snare.wav",
                                 u"12.wav",
                                 u"12\u0663.wav",
                                 u"123.wav",
                                 u"12\u0301.wav",
                                 u"12\uff13.wav",
                                 u"\u0661\u0662.wav",
                                 u"1.5.wav",
                                 u"1.50.wav",
                                 u"-1.wav",
                                 u"12a.wav",
                                 u"12A.wav",
                                 u"12 a.wav",
                                 u"12_a.wav",
                                 u"Kick.wav",
                                 u"kick 2.wav",
                                 u"\u00e9.wav",
                                 u"e.wav",
                                 u"999999999999999999.wav",
                                 u"1000000000000000000.wav",
                                 u"99999999999999999999999.wav",
                                 u"100000000000000000000.wav"})
        names << QString::fromUtf16(name);
    names << QString(300, QLatin1Char('0')) + QStringLiteral("5.wav") << QStringLiteral("3.wav")
          << QStringLiteral("7.wav");
    for (int i = 1; i <= 40; ++i)
        names << QStringLiteral("%1Take %2.wav").arg(i % 13).arg(i);
    const QStringList first = sorted(names);
    std::reverse(names.begin(), names.end());
    EXPECT_EQ(sorted(names), first);
    std::rotate(names.begin(), names.begin() + names.size() / 3, names.end());
    EXPECT_EQ(sorted(names), first);
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
