#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// Names for the qbImgs16 indices; the numbers are fixed because menus and settings store them.
namespace qbImg {
enum : int {
    NewFolder, FolderSearch, NewNote, Delete, Cut, Copy, Paste, Undo, Redo,
    Bold, Italic, Underline, AlignLeft, AlignCenter, AlignRight,
    Bullets, Indent, Outdent, Numbering, Link, Image, Rule,
    Save, Print, Reload, Title, TimeStamp, Box, Rename, StayOnTop,
    BrowseMode, EditMode, SourceMode, Find, Settings, TreeMode, HomePage, SendMail, Quit,
    TextColor, BackColor,
};
}

// Registers the pictures of this static library. The functions below call it themselves.
void qbInitIcons();

// The 16-pixel picture for a command; a null icon for an index that has none.
QIcon qbImgs16(int index);
int qbImgs16Count();
// The same pictures as an image list for the drawn buttons, owned by owner.
class TqbImageList* qbImgs16List(QObject* owner);

// Folder, open folder, note, selected note: in this order, for the note tree.
QList<QIcon> qbImgsTree();

QIcon qbAppIcon();

// Dots for the bottom-right corner of a resizable window, 16x16.
QPixmap qbResizeGrip();
