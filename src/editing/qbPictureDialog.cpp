#include "editing/qbPictureDialog.h"

#include "platform/qbError.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace qbPicture {

namespace {

bool IsWebAddress(const QString& text) {
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    // One letter is a drive, not a scheme.
    return scheme.size() > 1 && scheme != u"file";
}

bool IsInside(const QString& path, const QString& folder) {
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + '/';
    return QDir::cleanPath(path).startsWith(root);
}

bool SameBytes(const QString& a, const QString& b) {
    QFile first(a), second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 Chunk = 64 * 1024;
    while (!first.atEnd()) {
        if (first.read(Chunk) != second.read(Chunk))
            return false;
    }
    return true;
}

// The name the picture has or gets in `folder`: its own, else the first "<name>_<n>.<ext>"
// that is free or already holds the same bytes.
QString NameInFolder(const QDir& folder, const QString& source) {
    const QFileInfo info(source);
    const QString base = info.completeBaseName(), suffix = info.suffix();
    QString name = info.fileName();
    for (int n = 2; folder.exists(name) && !SameBytes(folder.filePath(name), source); ++n)
        name = suffix.isEmpty() ? QStringLiteral("%1_%2").arg(base).arg(n)
                                : QStringLiteral("%1_%2.%3").arg(base).arg(n).arg(suffix);
    return name;
}

} // namespace

QString PlaceInNote(const QString& picture, const QString& notePath, const QString& libraryDir) {
    const QString text = picture.trimmed();
    if (text.isEmpty() || IsWebAddress(text))
        return text;
    QString path = text;
    if (QUrl(text).scheme() == u"file")
        path = QUrl(text).toLocalFile();
    const QFileInfo source(path);
    if (!source.isFile())
        throw EqbError(QStringLiteral("그림 파일이 없습니다: %1").arg(path));
    const QDir noteDir = QFileInfo(notePath).absoluteDir();
    QString placed = source.absoluteFilePath();
    if (!IsInside(placed, libraryDir)) {
        const QString imagesPath = noteDir.filePath(QLatin1String(ImagesFolder));
        if (!QDir().mkpath(imagesPath))
            throw EqbError(QStringLiteral("그림 폴더를 만들지 못했습니다: %1")
                               .arg(QDir::toNativeSeparators(imagesPath)));
        const QDir images(imagesPath);
        const QString target = images.filePath(NameInFolder(images, placed));
        if (!QFile::exists(target)) {
            QFile file(placed);
            if (!file.copy(target))
                throw EqbError(QStringLiteral("그림을 노트 폴더에 복사하지 못했습니다: %1\n%2")
                                   .arg(QDir::toNativeSeparators(target), file.errorString()));
        }
        placed = target;
    }
    const QString relative = noteDir.relativeFilePath(placed);
    return QString::fromUtf8(QUrl::toPercentEncoding(relative, "/"));
}

} // namespace qbPicture

TqbPictureDialog::TqbPictureDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgPicture");
    setWindowTitle(QStringLiteral("이미지 추가"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("그림 파일 또는 주소:"), this));
    auto* row = new QHBoxLayout;
    m_edtPicture = new QLineEdit(this);
    m_edtPicture->setObjectName("edtPicture");
    m_edtPicture->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("찾아보기(&B)..."), this);
    browse->setObjectName("btnBrowsePicture");
    row->addWidget(m_edtPicture, 1);
    row->addWidget(browse);
    column->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    column->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, &TqbPictureDialog::Browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString TqbPictureDialog::Picture() const {
    return m_edtPicture->text().trimmed();
}

void TqbPictureDialog::SetPicture(const QString& picture) {
    m_edtPicture->setText(picture);
}

void TqbPictureDialog::Browse() {
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("그림 파일"), QString(),
        QStringLiteral("그림 (*.png *.jpg *.jpeg *.gif *.bmp *.webp *.svg);;모든 파일 (*)"));
    if (!file.isEmpty())
        m_edtPicture->setText(QDir::toNativeSeparators(file));
}
