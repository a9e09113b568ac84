#pragma once

#include <QString>

// The configuration dialog's rules, apart from the dialog.
namespace ConfigRules {

// The data-directory field is 294 pixels wide; its text stays 10 pixels short of that.
inline constexpr int DirDataTextWidth = 284;

inline const QString MsgCannotCreate = QStringLiteral("데이터 디렉토리를 만들 수 없습니다.");
inline const QString MsgCannotWrite = QStringLiteral("데이터 디렉토리에 쓸 수 없습니다.");
inline const QString MsgCannotSave = QStringLiteral("설정을 저장할 수 없습니다.");

// Why a folder cannot be the data directory: creates it with its parents when missing and
// tries a file in it. Empty when it will do.
QString DataDirFault(const QString& path);

} // namespace ConfigRules
