#pragma once

#include <QString>
#include <QUrl>

// What a clicked link may do. A note can come from anyone, and the desktop's opener starts
// programs as readily as it shows pages: only web and mail addresses go there, the library's
// own notes open in the tree, and everything else is refused with a word.
namespace qbLinkPolicy {

enum class TLinkAction {
    Desktop,              // http, https, mailto
    ShowInTree,           // a note or a folder page of the library
    RefuseNotANote,       // another file inside the library
    RefuseOutsideLibrary, // a file anywhere else
    RefuseScheme,         // any other kind of address
};

TLinkAction Decide(const QUrl& url, const QString& libraryRoot, const QString& noteExt);

// The file a link inside the library names; for a folder, its page.
QString LibraryPath(const QUrl& url);

// What the user is told about a refused link; empty for one that is followed.
QString RefusalText(const QUrl& url, TLinkAction action);

// A link as it goes to the desktop. A mail link loses the files it asks to attach ("attach=",
// "attachment="): the mail program would attach any file a note names, unasked. The files left
// out go to dropped; the rest of the address stays as written.
QUrl ForDesktop(const QUrl& url, QStringList* dropped);

// What the user is told about the files a mail link asked to attach.
QString DroppedAttachmentsText(const QStringList& dropped);

} // namespace qbLinkPolicy
