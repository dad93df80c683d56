#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <optional>

class QPainter;

namespace vaporica {

// The choice pictures of the apparatus quiz, each at its own fixed size: generators 1..4 and
// collection methods 1..3, numbered as the quiz numbers its choices. A number outside the range
// is a subscript error.
QImage generatorPicture(int n);
QImage collectorPicture(int n);

// The answers set-up drawing n shows: its generator (1..4) and collection method (1..3). A number
// with no drawing is a runtime error.
struct SetupAnswers {
    int generator = 0;
    int collection = 0;
};
SetupAnswers setupAnswers(int n);

// How a reagent is drawn in the glass: a solid on the bottom of the vessel or a liquid, in its
// colour. The reagents' table gives each reagent one of these looks by name (見た目).
struct ReagentLook {
    QString name;
    bool solid = false;
    QColor colour;
};
const QList<ReagentLook> &reagentLooks();
std::optional<ReagentLook> reagentLookNamed(const QString &name);

// What one question's set-up holds: its two reagents (numbered as the reagent plates; the same
// number twice for a single reagent) and, for a coloured gas, the colour of the gas collected.
// keepClear is a place of the picture left empty, where a screen writes over it. look1 and look2
// name the reagents' looks; a reagent drawn with a look that is not known is a runtime error
// naming the reagent.
struct SetupContents {
    int reagent1 = 0;
    int reagent2 = 0;
    std::optional<QColor> gasColour;
    std::optional<QRect> keepClear;
    QString look1;
    QString look2;
};

// Complete set-up n: the generator joined by its delivery tube to the collector, with any washing
// or drying vessel in between. With contents, the reagents are drawn where they lie and named,
// and a coloured gas is tinted in the collector. Every set-up picture has setupPictureSize(), times
// `scale`: at 2 the same layout is drawn at twice the size.
QImage setupPicture(int n, const std::optional<SetupContents> &contents = std::nullopt,
                    int scale = 1);

// What generator n's vessel is called, in the set-ups' labels and on the cards (generatorVessel).
QString vesselWord(int generator);
QList<int> setupNumbers();

// What set-up n draws, from the generator to the collection, in words for a screen reader: the
// apparatus, where each reagent lies, what the gas passes and how it is collected.
QString setupWords(int n, const std::optional<SetupContents> &contents = std::nullopt);
QSize setupPictureSize();

// The words in set-up n: each on an opaque plate at box (lines broken by \n), set in font, with a
// leader line to what it names: a reagent where it is drawn, a washing or drying vessel at its
// contents, the boiling chips.
struct SetupLabel {
    QString text;
    QRect box;
    QFont font;
    std::optional<QPoint> pointsAt;
};
QList<SetupLabel> setupLabels(int n, const std::optional<SetupContents> &contents = std::nullopt);
void drawLabel(QPainter &painter, const SetupLabel &label);

} // namespace vaporica
