// Renders the window icon's SVG source to a square PNG of the given size for the desktop's icon
// theme, so every size is drawn from the vector source rather than scaled from a bitmap.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: render-icon SOURCE.svg SIZE OUT.png\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    const int size = QString::fromLatin1(argv[2]).toInt();
    if (!renderer.isValid() || size <= 0) {
        std::fprintf(stderr, "render-icon: cannot render %s at size %s\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "render-icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
