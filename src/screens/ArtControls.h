#pragma once

// Controls that show a piece of the layout artwork, as every screen builds them.

#include "widgets/Controls.h"
#include "widgets/Twips.h"

namespace vaporica {

// A picture button whose face shows the artwork; the words drawn in it are its accessible name.
GraphicalButton *artButton(QWidget *parent, TwipsRect place, const char *art, const QString &words,
                           const QColor &face = bgr(PaleYellow));

// An image box showing the artwork, named for assistive tools.
ImageBox *artImage(QWidget *parent, TwipsRect place, const char *art, const QString &words);

// The ring of a right answer or the cross of a wrong one, hidden until an answer shows it.
ImageBox *answerMark(QWidget *parent, TwipsRect place, bool stretch, bool right);

} // namespace vaporica
