#pragma once

#include <QString>

// The rules of the name dialogs, callable without a window.
namespace qbNameRules {

inline const QString ForbiddenChars = QStringLiteral("\\/:*?<>|");

inline const QString MsgEmpty = QStringLiteral("이름을 반드시 입력하여 주십시오.");
inline const QString MsgForbidden = QStringLiteral("이름에는 \\/:*?<>| 을 사용하실 수 없습니다.");
inline const QString MsgFileExists = QStringLiteral("같은 이름의 파일이 이미 존재합니다.");
inline const QString MsgDirExists = QStringLiteral("디렉토리가 이미 존재합니다.");
// Names the tree would never list, and names the file system refuses.
inline const QString MsgLeadingDot = QStringLiteral("이름은 마침표(.)로 시작할 수 없습니다.");
inline const QString MsgReserved = QStringLiteral("__images 는 폴더 이름으로 사용할 수 없습니다.");
inline const QString MsgControlChar = QStringLiteral("이름에는 제어 문자를 사용하실 수 없습니다.");
inline const QString MsgTooLong = QStringLiteral("이름이 너무 깁니다. 더 짧은 이름을 입력하여 주십시오.");

inline const QString PromptFolder = QStringLiteral("폴더 이름을 입력하십시오.");
inline const QString PromptNote = QStringLiteral("노트의 이름을 입력하십시오.");
inline const QString DefaultNoteBase = QStringLiteral("새 노트");

// Leading and trailing spaces and control characters removed (everything up to U+0020).
QString TrimName(const QString& name);

// Longest file name, in bytes of the file name encoding, the file system takes.
inline constexpr int MaxNameBytes = 255;

// The first failing test for a name that will live in base (ending in "/") as fileName
// (name + ".htm" for a note, name for a folder), or empty. The tests shared by both dialogs:
// empty, forbidden characters, control characters, a leading ".", "__images" for a folder, and
// a name too long for the file system.
QString CommonNameFault(const QString& trimmed, bool folder, const QString& noteExt);

// Validation of TfrmNewNoteName: empty; forbidden; ... ; the note exists.
QString NewNoteNameFault(const QString& base, const QString& name,
                         const QString& noteExt = QStringLiteral(".htm"));
// Validation of TfrmUserFileName.
QString UserFileNameFault(const QString& base, const QString& name, bool folderMode,
                          bool checkExisting, const QString& noteExt = QStringLiteral(".htm"));

// The name of the folder base (ending in "/") denotes, after its last "/" (or ":" where drive
// letters exist); DefaultNoteBase when that is empty.
QString ProposalStem(const QString& base);
// stem + "_" + n with at least two digits, for the first n from 1 whose note does not exist.
QString ProposeName(const QString& base, const QString& noteExt = QStringLiteral(".htm"));
QString NumberedName(const QString& stem, int n);

} // namespace qbNameRules
