#include "widgets/Layout.h"

#include "drawing/Fonts.h"
#include "widgets/ArtPictures.h"

namespace vaporica {

namespace {
QFont fontOf(FontSpec spec) {
    return minchoFont(spec.face == Face::PMincho ? PMinchoFace : MinchoFace, spec.points,
                      spec.bold);
}

ScalablePicture pictureOf(const ControlLook &look) {
    if (!look.art.isEmpty())
        return scalableArtPicture(look.art);
    return look.plate;
}

GraphicalButton *makeButton(QWidget *parent, const ControlLook &look) {
    auto *button = look.back == ButtonFace
                       ? new GraphicalButton(parent, look.place, platformButtonFace())
                       : new GraphicalButton(parent, look.place, look.back);
    if (look.font.face != Face::None)
        button->setCaptionFont(fontOf(look.font));
    if (!look.caption.isEmpty())
        button->setCaption(look.caption);
    if (!look.art.isEmpty() || !look.plate.isNull())
        button->setPicture(pictureOf(look));
    return button;
}

ImageBox *makeImage(QWidget *parent, const ControlLook &look) {
    auto *image = new ImageBox(parent, look.place, look.stretch);
    if (!look.art.isEmpty() || !look.plate.isNull())
        image->setPicture(pictureOf(look));
    if (look.answer)
        image->makeAnswer();
    return image;
}
} // namespace

QObject *makeControl(QWidget *parent, const ControlLook &look) {
    QObject *made = nullptr;
    switch (look.kind) {
    case Kind::Button:
        made = makeButton(parent, look);
        break;
    case Kind::Image:
        made = makeImage(parent, look);
        break;
    case Kind::Frame:
        made = new Frame(parent, look.place, look.caption, look.back, look.fore, fontOf(look.font));
        break;
    case Kind::Label:
        made = new Label(parent, look.place, look.back, look.fore, fontOf(look.font));
        break;
    case Kind::Words:
        return new SpokenText(parent, QAccessible::StaticText, look.words, look.place.pixels());
    }
    auto *control = static_cast<QWidget *>(made);
    if (!look.words.isEmpty())
        control->setAccessibleName(look.words);
    if (!look.description.isEmpty())
        control->setAccessibleDescription(look.description);
    if (look.hidden)
        control->hide();
    return control;
}

} // namespace vaporica
