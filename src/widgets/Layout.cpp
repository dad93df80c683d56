#include "widgets/Layout.h"

#include "drawing/Fonts.h"
#include "widgets/ArtPictures.h"

#include <algorithm>
#include <climits>

namespace vaporica {

namespace {
QFont fontOf(LayoutFont font) {
    return minchoFont(font.face == Face::PMincho ? PMinchoFace : MinchoFace, font.points,
                      font.bold);
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
    if (!look.art.isEmpty() || !look.plate.pixels.isNull())
        button->setPicture(pictureOf(look));
    return button;
}

ImageBox *makeImage(QWidget *parent, const ControlLook &look) {
    auto *image = new ImageBox(parent, look.place, look.stretch);
    if (!look.art.isEmpty() || !look.plate.pixels.isNull())
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

void wireHandlers(QObject *control, Handler click, Handler mouseMove) {
    if (auto *button = qobject_cast<GraphicalButton *>(control)) {
        button->onClick = std::move(click);
        button->onMouseMove = std::move(mouseMove);
    } else if (auto *image = qobject_cast<ImageBox *>(control)) {
        image->onClick = std::move(click);
        image->onMouseMove = std::move(mouseMove);
    } else if (auto *frame = qobject_cast<Frame *>(control)) {
        frame->onMouseMove = std::move(mouseMove);
    }
}

namespace {
// Qt draws later siblings on top: raise from the back of the table to its front, each array's
// items in the order its row gives.
void stack(const std::vector<BuiltControl> &built) {
    for (auto b = built.rbegin(); b != built.rend();) {
        const auto rowEnd =
            std::find_if(b, built.rend(), [&](const BuiltControl &x) { return x.row != b->row; });
        std::vector<BuiltControl> items(b, rowEnd); // the row's items, last first
        if (b->stack == Stack::LastInFront)
            std::reverse(items.begin(), items.end());
        for (const BuiltControl &item : items)
            if (auto *w = qobject_cast<QWidget *>(item.object))
                w->raise();
        b = rowEnd;
    }
}

// The controls that take the focus, by their tab index.
std::vector<QWidget *> tabOrder(const std::vector<BuiltControl> &built) {
    std::vector<BuiltControl> focusable;
    for (const BuiltControl &b : built)
        if (b.tab != NoOrder && static_cast<QWidget *>(b.object)->focusPolicy() != Qt::NoFocus)
            focusable.push_back(b);
    std::stable_sort(focusable.begin(), focusable.end(),
                     [](const BuiltControl &a, const BuiltControl &b) { return a.tab < b.tab; });
    std::vector<QWidget *> order;
    for (const BuiltControl &b : focusable)
        order.push_back(static_cast<QWidget *>(b.object));
    return order;
}

// A screen reader reads each container's controls in the order they were noted: by the reading
// column, then the rows without one in table order.
void noteReadingOrder(std::vector<BuiltControl> built) {
    const auto key = [](const BuiltControl &b) {
        return b.reading == NoOrder ? INT_MAX : b.reading;
    };
    std::stable_sort(built.begin(), built.end(),
                     [&](const BuiltControl &a, const BuiltControl &b) { return key(a) < key(b); });
    for (const BuiltControl &b : built)
        noteCreation(b.object);
}
} // namespace

void arrangeControls(Form &form, const std::vector<BuiltControl> &built) {
    stack(built);
    form.setTabOrder(tabOrder(built));
    noteReadingOrder(built);
}

} // namespace vaporica
