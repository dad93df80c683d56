#include "PreviewPane.h"

#include "EquationPicture.h"

#include <QVBoxLayout>

namespace vaporica::editor {

namespace {

QPixmap pixmapAt(const QImage &image, qreal ratio, int width) {
    QPixmap pixmap =
        QPixmap::fromImage(image.scaledToWidth(int(width * ratio), Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QLabel *pictureLabel(const QString &name) {
    auto *label = new QLabel;
    label->setAccessibleName(name);
    label->setWordWrap(true);
    return label;
}

} // namespace

PreviewPane::PreviewPane() {
    auto *v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("生徒が見る画面")));
    card_ = pictureLabel(QStringLiteral("反応式の画像"));
    card_->setMinimumSize(material::EquationWidth, 180);
    setup_ = pictureLabel(QStringLiteral("装置の絵"));
    v->addWidget(card_);
    v->addWidget(setup_);
    v->addStretch();
}

void PreviewPane::showPictures(const QuestionEditor &editor, int question) {
    const qreal ratio = devicePixelRatioF();
    // On a denser screen the pictures are drawn at twice the size, as the pupils' program shows
    // the generator's name@2x files, rather than blown up from their own size.
    const int scale = ratio > 1 ? 2 : 1;
    QString why;
    if (const auto card = editor.equationCard(question, &why, scale))
        card_->setPixmap(pixmapAt(*card, ratio, material::EquationWidth));
    else
        card_->setText(why);
    if (const auto setup = editor.setupPicture(question, &why, scale))
        setup_->setPixmap(pixmapAt(*setup, ratio, material::EquationWidth));
    else
        setup_->setText(why);
}

} // namespace vaporica::editor
