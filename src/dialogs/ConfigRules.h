#pragma once

#include "platform/qbGlobalKey.h"

#include <QKeySequence>
#include <QString>

class TqbIniFile;

// The configuration dialog's rules, apart from the dialog.
namespace ConfigRules {

// The data-directory field is 294 pixels wide; its text stays 10 pixels short of that.
inline constexpr int DirDataTextWidth = 284;

inline const QString MsgCannotCreate = QStringLiteral("데이터 디렉토리를 만들 수 없습니다.");
inline const QString MsgCannotWrite = QStringLiteral("데이터 디렉토리에 쓸 수 없습니다.");
inline const QString MsgCannotSave = QStringLiteral("설정을 저장할 수 없습니다.");
inline const QString MsgKeyTaken = QStringLiteral("이 키는 다른 프로그램이 쓰고 있습니다.");
inline const QString MsgKeyUnusable = QStringLiteral("이 키는 쓸 수 없습니다.");

// Why a folder cannot be the data directory, empty when it will do: what the library would
// refuse at its next start, and a folder the program cannot write in. Makes the folder's last
// level when it is missing.
QString DataDirFault(const QString& path);

// The key that opens "빠른 메모" from any program: "PROGRAM"/"QuickCaptureKey" in portable
// text ("Ctrl+Alt+M"), empty for none; a missing setting gives the default.
inline const QKeySequence DefaultCaptureKey{QStringLiteral("Ctrl+Alt+M")};
QKeySequence StoredCaptureKey(const TqbIniFile& ini);
// Throws EqbError when the settings cannot be written.
void StoreCaptureKey(TqbIniFile& ini, const QKeySequence& key);
// Puts key to work in place of the current one and stores it, unless it was refused: a key
// that cannot be held in this session is still stored, for a session that can.
TqbGlobalKey::TOutcome ApplyCaptureKey(TqbGlobalKey& globalKey, TqbIniFile& ini,
                                       const QKeySequence& key);

} // namespace ConfigRules
