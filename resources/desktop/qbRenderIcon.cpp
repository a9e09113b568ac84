// Build tool: draws the program's SVG icon as a square PNG of the given size, for icon themes
// that want bitmaps. Usage: qbRenderIcon in.svg out.png size
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s in.svg out.png size\n", argv[0]);
        return 2;
    }
    const QString in = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const int size = QString::fromLatin1(argv[3]).toInt();
    QSvgRenderer renderer(in);
    if (!renderer.isValid() || size <= 0) {
        std::fprintf(stderr, "qbRenderIcon: cannot draw %s at %s\n", argv[1], argv[3]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    QDir().mkpath(QFileInfo(out).path());
    if (!image.save(out, "PNG")) {
        std::fprintf(stderr, "qbRenderIcon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
