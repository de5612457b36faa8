// The built-in separator table agrees with Qt's locale data, so numbers are read as the window shows them.
#include "clsLocalInfo.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(LocaleTable, AgreesWithQtForEveryLocaleAndCAndPosix) {
    std::set<QString> names = {"C", "POSIX", "C.UTF-8"};
    const QList<QLocale> all =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(all.size(), 500);
    for (const QLocale& locale : all) {
        if (locale.language() == QLocale::C)
            continue;
        const QString language = QLocale::languageToCode(locale.language());
        const QString script = QLocale::scriptToCode(locale.script());
        const QString territory = QLocale::territoryToCode(locale.territory());
        names.insert({locale.name(), language, language + "_" + territory + ".UTF-8",
                      language + "_" + territory + "@euro", language + "_" + script,
                      language + "_" + script + "_" + territory, locale.bcp47Name()});
    }
    for (const QString& name : names)
        EXPECT_EQ(korvane::DecimalSeparatorOfLocale(name.toStdString()).value_or("(unknown)"),
                  QLocale(name).decimalPoint().toStdString())
            << name.toStdString();
}

} // namespace
