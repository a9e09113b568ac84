#pragma once

#include <QDir>
#include <QLocale>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// The rules of the folder browse dialog, apart from any window.
namespace KfFolderRules {

inline constexpr int StatusPathLength = 50;

// The status line's form of a path: at most 50 characters, keeping the first component and as
// many trailing components as fit, with "..." between them. Leading delimiters (a network
// path's two, a root's one) stay in front.
QString ShortenStatusPath(const QString& path, QChar delimiter = QDir::separator());

// Lines of the form key=text: the text for the language key, else for "Default", else the
// first line's text; empty for an empty list. Keys compare without case.
QString ChooseCaption(const QStringList& lines, const QString& languageKey);

QStringList DefaultLabelCaptions();
QStringList DefaultNewFolderCaptions();

// A locale as the Windows language identifier in four upper-case hexadecimal digits ("0412"
// for Korean); "0000" for a language without one here.
QString WindowsLanguageKey(QLocale::Language language, QLocale::Territory territory);
QString SystemLanguageKey();
bool IsKoreanKey(const QString& languageKey);

// The new folder's path: the name after the working path, with one delimiter between them
// unless either side already has it.
QString NewFolderPath(const QString& workingPath, const QString& name,
                      QChar delimiter = QDir::separator());

// Whether a folder lies in (or is) a hidden folder: one whose name begins with ".".
bool InHiddenFolder(const QString& path);

// Where the new-folder button goes in a dialog whose client area is clientHeight high, at the
// given pixels per inch; wide enough for its caption.
QRect NewFolderButtonRect(int pixelsPerInch, int clientHeight, int captionHeight, int textWidth);

QPoint CentredTopLeft(const QRect& screen, const QSize& window);

// Texts the shell would give in the system's language.
struct TDialogTexts {
    QString Title, Ok, Cancel, CannotCreate, ShowHidden;
};
TDialogTexts DialogTexts(const QString& languageKey);

} // namespace KfFolderRules
