#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QWebEngineSettings;

// Pages written on other machines ask for fonts this one may lack ("굴림", "verdana", ...). These
// rules pick the installed face that stands in for each: one of the same kind (sans, serif or
// fixed), and a Korean face for a Korean one, never a serif for a sans.
namespace qbPageFonts {

// The families a page gets for no font and for the generic names.
struct TFamilies {
    QString Standard;
    QString SansSerif;
    QString Serif;
    QString Fixed;
};

struct TAlias {
    QString Name;       // as pages write it
    QString Substitute; // an installed family
};

// The installed family (as listed in installed) that stands in for a page's font name: empty
// when the name itself is installed (letter case aside) or is not one the rules know.
QString Substitute(const QString& pageFont, const QStringList& installed);

// Every known name this machine lacks, with its stand-in; a name in upper and lower case
// letters also comes in lower case, as pages often write it.
QList<TAlias> Aliases(const QStringList& installed);

// Korean faces for the page's defaults: a page with no font reads as it did in a sans ("굴림").
TFamilies Defaults(const QStringList& installed);

// The font box's entries: each family once, under its name in the user's language where it has
// one, sorted without letter case.
QStringList BoxNames(const QStringList& families, const QHash<QString, QString>& localNames);

// This machine's families (with their Korean names) and their Korean names by family.
QStringList InstalledFamilies();
QHash<QString, QString> KoreanNames();

// Makes Qt's own text (the source view, the font box) take the stand-ins too; once a process.
void InstallSubstitutions();

// Gives a web view the editor's faces for no font and the generic names, so every view of a
// note shows it in the same letters.
void ApplyDefaults(QWebEngineSettings* settings);

} // namespace qbPageFonts
