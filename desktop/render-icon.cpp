// Renders the window icon's SVG source to a square PNG of the given size for the desktop's icon
// theme, so every size is drawn from the vector source rather than scaled from a bitmap. With
// --edit, the question editor's variant: the same icon with a pencil across its lower right.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <cstdio>
#include <cstring>

namespace {

// A pencil from the lower right corner up to the bubble's middle, in the icon's 32-unit square:
// thick enough to stay a pencil at 16 px, outlined in white so it stands off the black ground and
// in black so it stands off the bubble.
void drawPencil(QPainter &painter, int size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.translate(27.5, 27.5);
    painter.rotate(45);
    // Along the pencil: the eraser at 0, the body, the wood, the lead at -22.
    const qreal half = 3.6;
    QPainterPath body;
    body.addRect(QRectF(-15.5, -half, 14, 2 * half));
    QPainterPath eraser;
    eraser.addRect(QRectF(-1.5, -half, 4, 2 * half));
    QPainterPath wood;
    wood.moveTo(-15.5, -half);
    wood.lineTo(-22.5, 0);
    wood.lineTo(-15.5, half);
    wood.closeSubpath();
    QPainterPath lead;
    lead.moveTo(-20.2, -1.2);
    lead.lineTo(-22.5, 0);
    lead.lineTo(-20.2, 1.2);
    lead.closeSubpath();
    const QPainterPath whole = body.united(eraser).united(wood);
    painter.strokePath(whole, QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(body, QColor(0xff, 0xc4, 0x1a));
    painter.fillPath(eraser, QColor(0xe8, 0x4a, 0x5f));
    painter.fillPath(wood, QColor(0xf2, 0xd0, 0xa0));
    painter.fillPath(lead, QColor(0x20, 0x20, 0x20));
    painter.strokePath(whole, QPen(Qt::black, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.restore();
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    const bool edit = argc == 5 && std::strcmp(argv[4], "--edit") == 0;
    if (argc != 4 && !edit) {
        std::fprintf(stderr, "usage: render-icon SOURCE.svg SIZE OUT.png [--edit]\n");
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
    if (edit)
        drawPencil(painter, size);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "render-icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
