#pragma once

#include <QString>

// The note a new library starts with: what the window's parts do, in a few lines. It is an
// ordinary note; once the user deletes it, it stays gone.
namespace qbWelcomeNote {

inline const QString FileName = QStringLiteral("qbNivora 시작하기.htm");

// The page's text; templateDir is the folder the note points to for more templates.
QString Page(const QString& templateDir);

// Writes the note into libraryDir in code page 949, durably; a file of its name already there
// is left alone. False, with the reason in problem, when it could not be written: nothing half
// written is left behind.
bool Write(const QString& libraryDir, const QString& templateDir, QString* problem = nullptr);

} // namespace qbWelcomeNote
