#pragma once

#include <QString>
#include <QUrl>

// Links between notes as they are written in a page: the address an href stands for, and the
// href that leads from one note to another.
namespace qbNoteLinks {

// How the names of a link are percent-encoded: from UTF-8, or from code page 949 as pages made
// on Windows have them.
enum class TNameBytes { Utf8, Cp949 };

// The address an href of the note at notePath leads to, resolved as the engine resolves it:
// "%23" in a name is a '#', a bare '#' starts a place in the page, '\' separates folders.
QUrl Resolve(const QString& href, const QString& notePath);

// The file a local address names, its percent escapes read as UTF-8, or as code page 949 where
// they are not UTF-8; empty for an address that is no local file.
QString LocalPath(const QUrl& url);

// The text with its percent escapes undone, each run of them read as UTF-8, or as code page
// 949 where it is not UTF-8 (legacy, when given, then says so).
QString Unescaped(const QString& escaped, bool* legacy = nullptr);

// How the percent escapes of an href's path are meant to be read.
TNameBytes NameBytesOf(const QString& href);

// The href from the note at fromNote to the file at toPath: relative, with every byte of the
// names but letters, digits and "-._~" percent-encoded (from UTF-8 unless asked otherwise and
// the names fit code page 949), as a browser writes a path; plain ASCII, so any page charset
// keeps it and no HTML escape is needed.
QString Href(const QString& fromNote, const QString& toPath, TNameBytes bytes = TNameBytes::Utf8);

// An absolute path written as Href writes names ("/lib/%EC%83%88/a.htm").
QString EncodedPath(const QString& path, TNameBytes bytes = TNameBytes::Utf8);

} // namespace qbNoteLinks
