#include "editing/qbViewCopy.h"

#include "platform/qbError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

TqbViewCopy::TqbViewCopy(const QByteArray& utf8Page)
    : m_dir(QDir::tempPath() + u'/' + QLatin1String(NamePrefix) + QStringLiteral("XXXXXX")) {
    const auto fail = [](const QString& reason) {
        return EqbError(
            QCoreApplication::translate("TqbViewCopy", "큰 문서를 보여 줄 임시 파일을 만들 수 없습니다: %1")
                .arg(reason));
    };
    if (!m_dir.isValid())
        throw fail(m_dir.errorString());
    m_page = m_dir.filePath(QStringLiteral("page.htm"));
    QFile file(m_page);
    const QByteArray bytes = "\xEF\xBB\xBF" + utf8Page; // the mark keeps Chromium from guessing
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw fail(file.errorString());
}
