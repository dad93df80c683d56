// Draws every set-up drawing on one sheet under its number, for the teacher's guide: the 装置図
// column of questions.tsv names a drawing by this number, and a teacher chooses it by its look.
#include "ApparatusArt.h"
#include "drawing/Fonts.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

using namespace vaporica;

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup-sheet OUT.png\n");
        return 2;
    }
    if (!minchoFacesInstalled()) {
        std::fprintf(stderr, "setup-sheet: no IPA Mincho faces (install fonts-ipafont-mincho)\n");
        return 1;
    }
    installFontSubstitutes();

    const QList<int> numbers = setupNumbers();
    const QSize picture = setupPictureSize();
    constexpr int columns = 3, gap = 16, caption = 34;
    const int rows = (int(numbers.size()) + columns - 1) / columns;
    const QSize cell(picture.width() + 2 * gap, picture.height() + caption + gap + gap / 2);
    QImage sheet(columns * cell.width(), rows * cell.height(), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    QFont font(PMinchoFace);
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    for (int i = 0; i < numbers.size(); ++i) {
        const QPoint corner((i % columns) * cell.width(), (i / columns) * cell.height());
        const QRect frame(corner + QPoint(gap / 2, gap / 2), cell - QSize(gap, gap));
        painter.setPen(QColor(170, 170, 170));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        painter.drawText(QRect(frame.topLeft() + QPoint(gap / 2, 0), QSize(frame.width(), caption)),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("装置図 %1").arg(numbers[i]));
        painter.drawImage(frame.topLeft() + QPoint(gap / 2, caption), setupPicture(numbers[i]));
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "setup-sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
