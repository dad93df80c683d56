#include "screens/ArtControls.h"

#include "widgets/ArtPictures.h"

namespace vaporica {

GraphicalButton *artButton(QWidget *parent, TwipsRect place, const char *art, const QString &words,
                           const QColor &face) {
    auto *button = new GraphicalButton(parent, place, face);
    button->setPicture(scalableArtPicture(QString::fromLatin1(art)), words);
    return button;
}

ImageBox *artImage(QWidget *parent, TwipsRect place, const char *art, const QString &words) {
    auto *image = new ImageBox(parent, place);
    image->setPicture(scalableArtPicture(QString::fromLatin1(art)));
    image->setAccessibleName(words);
    return image;
}

ImageBox *answerMark(QWidget *parent, TwipsRect place, bool stretch, bool right) {
    auto *mark = new ImageBox(parent, place, stretch);
    mark->setPicture(scalableArtPicture(right ? QStringLiteral(":/art/common/mark-right.svg")
                                              : QStringLiteral(":/art/common/mark-wrong.svg")));
    mark->setAccessibleName(right ? QStringLiteral("正解") : QStringLiteral("不正解"));
    mark->hide();
    return mark;
}

} // namespace vaporica
