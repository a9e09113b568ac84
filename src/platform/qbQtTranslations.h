#pragma once

#include <QList>
#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace qbQtTranslations {

// Installs Qt's own catalogues (standard buttons, file, print and colour dialogs, the web
// engine's texts) for the locale, from Qt's translations folder. The program's own texts are
// not in them and stay as written. Returns what was installed, owned by the application; none
// for a locale Qt has no catalogue for.
QList<QTranslator*> Install(QCoreApplication& app, const QLocale& locale);

} // namespace qbQtTranslations
