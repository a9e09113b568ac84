#include "platform/qbQtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qbQtTranslations {

QList<QTranslator*> Install(QCoreApplication& app, const QLocale& locale) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    QList<QTranslator*> installed;
    // "qt" would pull in modules the program does not use; these are the ones it shows.
    for (const char* catalogue : {"qtbase", "qtwebengine"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(locale, QString::fromLatin1(catalogue), QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator)) {
            installed << translator;
        } else {
            delete translator;
        }
    }
    return installed;
}

} // namespace qbQtTranslations
