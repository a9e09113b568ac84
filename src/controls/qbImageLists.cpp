#include "controls/qbImageLists.h"

#include "controls/qbImageList.h"

#include <QApplication>
#include <QFileInfo>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <array>
#include <utility>

void qbInitIcons() {
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(qbIcons);
}

namespace {

// Drawn here rather than by the SVG icon plugin, so that a copy of the program without the
// plugin folder still shows its pictures.
class TqbSvgIconEngine : public QIconEngine {
public:
    explicit TqbSvgIconEngine(QString file) : m_file(std::move(file)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * dpr, mode, state);
        pm.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect, pm);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty())
            return {};
        const QString key = QStringLiteral("qbIcon:%1:%2x%3:%4")
                                .arg(m_file).arg(size.width()).arg(size.height()).arg(int(mode));
        QPixmap pm;
        if (QPixmapCache::find(key, &pm))
            return pm;
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            QSvgRenderer renderer(m_file);
            renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        pm = QPixmap::fromImage(img);
        if (mode != QIcon::Normal) {
            if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
                QStyleOption opt;
                opt.palette = QApplication::palette();
                pm = app->style()->generatedIconPixmap(mode, pm, &opt);
            }
        }
        QPixmapCache::insert(key, pm);
        return pm;
    }

    bool isNull() override { return !QFileInfo::exists(m_file); }
    QIconEngine* clone() const override { return new TqbSvgIconEngine(m_file); }
    QString key() const override { return QStringLiteral("qbSvg"); }

private:
    QString m_file;
};

QIcon SvgIcon(const char* name) {
    qbInitIcons();
    return QIcon(new TqbSvgIconEngine(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name))));
}

constexpr std::array Imgs16Names = {
    "new-folder", "folder-search", "new-note", "delete", "cut", "copy", "paste", "undo", "redo",
    "bold", "italic", "underline", "align-left", "align-center", "align-right",
    "bullets", "indent", "outdent", "numbering", "link", "image", "rule",
    "save", "print", "reload", "title", "clock", "box", "rename", "pin",
    "browse", "edit", "source", "find", "settings", "tree", "home", "mail", "quit",
    "text-color", "back-color",
};
static_assert(Imgs16Names.size() == qbImg::BackColor + 1);

} // namespace

QIcon qbImgs16(int index) {
    if (index < 0 || index >= qbImgs16Count())
        return {};
    return SvgIcon(Imgs16Names[index]);
}

int qbImgs16Count() {
    return int(Imgs16Names.size());
}

QList<QIcon> qbImgsTree() {
    return {SvgIcon("folder"), SvgIcon("folder-open"), SvgIcon("note"), SvgIcon("note-selected")};
}

QIcon qbAppIcon() {
    return SvgIcon("qbnivora");
}

QPixmap qbResizeGrip() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    // Each dot has a light dot below-right of it, so the grip reads as raised on any face colour.
    for (int row = 0; row < 4; ++row) {
        for (int col = 3 - row; col < 4; ++col) {
            const int x = 3 + col * 3, y = 3 + row * 3;
            p.fillRect(x + 1, y + 1, 2, 2, QColor(255, 255, 255, 200));
            p.fillRect(x, y, 2, 2, QColor(0x44, 0x44, 0x44, 180));
        }
    }
    return pm;
}

TqbImageList* qbImgs16List(QObject* owner) {
    auto* list = new TqbImageList(QSize(16, 16), owner);
    for (int i = 0; i < qbImgs16Count(); ++i)
        list->Add(qbImgs16(i));
    return list;
}
