#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {
namespace {

void install(const QString &catalog, const QString &folder)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), catalog, QStringLiteral("_"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void installTranslations()
{
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Relative to the program, so that the build tree and any installed prefix both find theirs.
    const QString name = QCoreApplication::applicationName();
    install(name, QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + name +
                      QStringLiteral("/translations"));
}

} // namespace platform
