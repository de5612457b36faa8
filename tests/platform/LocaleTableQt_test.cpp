// The built-in separator table must agree with the window toolkit's locale data, so that the program reads
// numbers with the separator the window shows.
#include "clsLocalInfo.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace korvane;

namespace {

std::string Expected(const QString& name) {
    return QLocale(name).decimalPoint().toStdString();
}

TEST(LocaleTable, AgreesWithQtForEveryLocaleAndCAndPosix) {
    for (const char* name : {"C", "POSIX", "C.UTF-8"})
        EXPECT_EQ(DecimalSeparatorOfLocale(name), Expected(name)) << name;
    const QList<QLocale> all =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(all.size(), 500);
    std::set<std::string> checked;
    for (const QLocale& locale : all) {
        if (locale.language() == QLocale::C)
            continue;
        const QString language = QLocale::languageToCode(locale.language());
        const QString script = QLocale::scriptToCode(locale.script());
        const QString territory = QLocale::territoryToCode(locale.territory());
        for (const QString& name : {locale.name(), language, language + "_" + territory + ".UTF-8",
                                    language + "_" + territory + "@euro", language + "_" + script,
                                    language + "_" + script + "_" + territory, locale.bcp47Name()}) {
            if (!checked.insert(name.toStdString()).second)
                continue;
            EXPECT_EQ(DecimalSeparatorOfLocale(name.toStdString()).value_or("(unknown)"), Expected(name))
                << name.toStdString();
        }
    }
}

} // namespace
