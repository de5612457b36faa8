#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <array>

namespace korvane::ui {

void InstallQtTranslations(int language) {
    static QTranslator* installed = nullptr;
    static const std::array<const char*, 6> codes{"de", "en", "fr", "it", "nl", "es"};
    if (QCoreApplication::instance() == nullptr)
        return;
    if (installed != nullptr) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (language < 1 || language > 6)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + codes[static_cast<size_t>(language - 1)],
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    installed = translator.release();
    QCoreApplication::installTranslator(installed);
}

} // namespace korvane::ui
