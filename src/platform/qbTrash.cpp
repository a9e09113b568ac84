#include "platform/qbTrash.h"

#include <QFile>
#include <QFileInfo>

namespace qbTrash {

bool MoveToTrash(const QString& path, QString* error) {
    QString target = path;
    while (target.size() > 1 && target.endsWith(u'/'))
        target.chop(1);
    if (!QFileInfo(target).exists() && !QFileInfo(target).isSymLink()) {
        if (error)
            *error = QStringLiteral("\"%1\" 이(가) 없습니다.").arg(target);
        return false;
    }
    QFile file(target);
    if (file.moveToTrash())
        return true;
    if (error)
        *error = QStringLiteral("\"%1\" 을(를) 휴지통으로 옮길 수 없습니다.\n%2")
                     .arg(target, file.errorString());
    return false;
}

} // namespace qbTrash
