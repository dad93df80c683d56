// The teaching material: every equation of the question table balanced, every word in the written
// set-up pictures still readable, and check-material accepting the built data directory and naming
// each fault in a damaged copy.

#include "ApparatusArt.h"
#include "Contrast.h"
#include "Formula.h"
#include "MaterialRecord.h"
#include "MaterialSupport.h"
#include "Tables.h"
#include "base/Names.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace vaporica::material;
using vaporica::test::contrast;
using vaporica::test::DataCopy;
using vaporica::test::dataFolders;
using vaporica::test::luminance;
using vaporica::test::luminanceContrast;
using vaporica::test::runChecker;
using vaporica::test::runOnEditedTables;
using vaporica::test::ToolRun;

namespace {

QStringList imbalanceOf(const QString &equation) {
    return imbalance(parseEquation(equation));
}

struct BalanceCase {
    const char *equation;
    const char *differences; // empty when balanced
};

void PrintTo(const BalanceCase &c, std::ostream *os) {
    *os << c.equation;
}

class EquationBalance : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(EquationBalance, CountsAtomsPerElementOnBothSides) {
    const BalanceCase c = GetParam();
    EXPECT_EQ(imbalanceOf(QString::fromUtf8(c.equation)).join(QStringLiteral("; ")),
              QString::fromUtf8(c.differences))
        << c.equation;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EquationBalance,
    ::testing::Values(
        BalanceCase{"CaCl(ClO)·H2O + 2HCl → CaCl2 + 2H2O + Cl2", ""},
        BalanceCase{"3Cu + 8HNO3 → 3Cu(NO3)2 + 4H2O + 2NO", ""},
        BalanceCase{"CuSO4·5H2O → CuSO4 + 5H2O", ""},
        BalanceCase{"2KClO3 → 2KCl + 2O2", "O: 左 6, 右 4"},
        // the coefficient applies to the whole bracket, and the hydrate water counts too
        BalanceCase{"3Cu + 8HNO3 → 3CuNO32 + 4H2O + 2NO", "N: 左 8, 右 5; O: 左 24, 右 102"},
        BalanceCase{"CaCl(ClO)·2H2O + 2HCl → CaCl2 + 2H2O + Cl2", "H: 左 6, 右 4; O: 左 3, 右 2"}));

TEST(EquationParser, RejectsWhatIsNoEquation) {
    for (const char *text : {"KClO3 = KCl + O2", "Ca(OH2 → CaO + H2O", "2KClO3 → 2KCl + 3o2",
                             "H2 + → H2", "H2 → H2 → H2"})
        EXPECT_THROW(parseEquation(QString::fromUtf8(text)), FormulaError) << text;
}

TEST(QuestionTable, EveryEquationIsBalanced) {
    QFile file(QStringLiteral(VAPORICA_SOURCE_DIR "/material/questions.tsv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList header;
    int equations = 0;
    int line = 0;
    for (const QString &text : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        ++line;
        if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const QStringList cells = text.split(QLatin1Char('\t'));
        if (header.isEmpty()) {
            header = cells;
            ASSERT_TRUE(header.contains(QStringLiteral("反応式")));
            continue;
        }
        const QString equation = cells.value(header.indexOf(QStringLiteral("反応式")));
        ++equations;
        EXPECT_EQ(imbalanceOf(equation), QStringList())
            << "questions.tsv line " << line << ": " << equation.toStdString();
    }
    EXPECT_EQ(equations, 20);
}

// --- what a pupil can tell apart and read ----------------------------------------------------

QImage builtPicture(const QString &relative) {
    return QImage(QStringLiteral(VAPORICA_BUILD_DIR "/") + relative)
        .convertToFormat(QImage::Format_ARGB32);
}

// The worst contrast of any line of text in `area` against the fill behind it. The fill of each
// row is read at `fillColumn`, where no text stands (a gradient changes it row by row); a run of
// rows holding anything else is one line of text, whose ink is its pixel farthest from the fill
// (the core of a stroke; its anti-aliased edge lies between the two). 0 when the area holds no
// text at all.
double worstTextContrast(const QImage &image, const QRect &area, int fillColumn) {
    const auto differs = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b)) >
               48;
    };
    double worst = 0;
    int lines = 0;
    for (int y = area.top(); y <= area.bottom();) {
        const auto textIn = [&](int row) {
            const QRgb fill = image.pixel(fillColumn, row);
            for (int x = area.left(); x <= area.right(); ++x)
                if (differs(image.pixel(x, row), fill))
                    return true;
            return false;
        };
        if (!textIn(y)) {
            ++y;
            continue;
        }
        int end = y;
        while (end + 1 <= area.bottom() && textIn(end + 1))
            ++end;
        double best = 1;
        QRgb ink = 0;
        for (int row = y; row <= end; ++row)
            for (int x = area.left(); x <= area.right(); ++x) {
                const double c = contrast(image.pixel(x, row), image.pixel(fillColumn, row));
                if (c > best)
                    best = c, ink = image.pixel(x, row);
            }
        double line = best;
        for (int row = y; row <= end; ++row)
            line = std::min(line, contrast(ink, image.pixel(fillColumn, row)));
        worst = lines++ == 0 ? line : std::min(worst, line);
        y = end + 1;
    }
    return worst;
}

// The plate's face, read as the median luminance inside its rim: the name covers far less than
// half of it.
double faceLuminance(const QImage &plate) {
    std::vector<double> values;
    for (int y = 9; y <= 30; ++y)
        for (int x = 8; x < plate.width() - 8; ++x)
            values.push_back(luminance(plate.pixel(x, y)));
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The width of the plate's frame: pixels at its left end, along the middle row, that stand out
// darker from the face at 3:1 or more.
int frameWidth(const QImage &plate) {
    const double face = faceLuminance(plate);
    int dark = 0;
    for (int x = 0; x < 6; ++x) {
        const double l = luminance(plate.pixel(x, plate.height() / 2));
        dark += l < face && luminanceContrast(l, face) >= 3.0;
    }
    return dark;
}

struct PlatePair {
    const char *kind;
    const char *plain, *highlighted; // file patterns under the data directory
    int count;
};

// A plain plate and its highlighted look must differ in lightness, not in hue alone: 3:1 between
// the two faces is the contrast WCAG asks for the look that shows a control's state (1.4.11), and
// it survives greyscale and every kind of colour blindness. The names on every plate read at
// 4.5:1, the contrast for body text (17 px type is not large).
TEST(MaterialPlates, HighlightedLooksDifferInLightnessAndEveryNameReads) {
    const PlatePair pairs[] = {
        {"reagent", "薬品/yaku1(%1).gif", "薬品/yaku2(%1).gif", 24},
        {"gas", "気体/gas1(%1).gif", "気体/gas2(%1).gif", 14},
    };
    for (const PlatePair &pair : pairs)
        for (int n = 1; n <= pair.count; ++n) {
            SCOPED_TRACE(
                QStringLiteral("%1 %2").arg(QLatin1String(pair.kind)).arg(n).toStdString());
            const QImage plain = builtPicture(QString::fromUtf8(pair.plain).arg(n));
            const QImage lit = builtPicture(QString::fromUtf8(pair.highlighted).arg(n));
            ASSERT_FALSE(plain.isNull());
            ASSERT_FALSE(lit.isNull());
            EXPECT_GE(luminanceContrast(faceLuminance(plain), faceLuminance(lit)), 3.0)
                << "faces " << faceLuminance(plain) << " and " << faceLuminance(lit);
            for (const QImage *plate : {&plain, &lit}) {
                const QRect inside(6, 9, plate->width() - 12, 23);
                EXPECT_GE(worstTextContrast(*plate, inside, inside.left()), 4.5)
                    << (plate == &plain ? "plain" : "highlighted");
            }
        }
}

// The question's reagents carry a heavy dark frame as well, a cue of shape besides lightness; a
// gas button under the pointer has none, so after a wrong answer the gas still under the pointer
// never looks like a reagent of the question.
TEST(MaterialPlates, OnlyTheQuestionsReagentsWearAHeavyFrame) {
    for (int r = 1; r <= 24; ++r) {
        EXPECT_GE(frameWidth(builtPicture(QStringLiteral("薬品/yaku2(%1).gif").arg(r))), 3)
            << "reagent " << r;
        EXPECT_LE(frameWidth(builtPicture(QStringLiteral("薬品/yaku1(%1).gif").arg(r))), 1)
            << "reagent " << r;
    }
    for (int g = 1; g <= 14; ++g)
        for (const char *look : {"gas1", "gas2"})
            EXPECT_LE(frameWidth(builtPicture(
                          QStringLiteral("気体/%1(%2).gif").arg(QLatin1String(look)).arg(g))),
                      1)
                << look << " " << g;
}

// Where a picture's badge of a colour of its own stands: the bounding box of the pixels close to
// `colour` within `within`; empty when there are none.
QRect boxOf(const QImage &image, const QRect &within, QRgb colour) {
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (std::abs(qRed(c) - qRed(colour)) + std::abs(qGreen(c) - qGreen(colour)) +
                    std::abs(qBlue(c) - qBlue(colour)) <
                24)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

struct CaptionCase {
    const char *what;
    const char *file; // under the data directory, %1 the number
    int count;
    QRect area;     // where the text stands
    int fillColumn; // where only the fill is
    double least;   // 4.5, or 3 for type of 18 px and more
};

// Every line of text on the properties pages and the equation cards, against the fill behind it.
TEST(MaterialCaptions, EveryLineReadsAgainstItsFill) {
    const CaptionCase cases[] = {
        {"page band: the name (22 px bold) and formula", "性質/seisitu(%1).gif", 14,
         QRect(1, 1, 270, 30), 3, 3.0},
        {"page labels (12 px bold)", "性質/seisitu(%1).gif", 14, QRect(1, 33, 77, 202), 2, 4.5},
        {"page entries (12 px)", "性質/seisitu(%1).gif", 14, QRect(82, 33, 258, 202), 81, 4.5},
        {"card equation and conditions", "反応式/siki(%1).gif", 20, QRect(2, 2, 480, 68), 3, 4.5},
        {"card reasons (14 px)", "反応式/siki(%1).gif", 20, QRect(2, 72, 480, 21), 3, 4.5},
        {"card cautions (13 px)", "反応式/siki(%1).gif", 20, QRect(2, 40, 480, 30), 3, 4.5},
    };
    for (const CaptionCase &c : cases)
        for (int n = 1; n <= c.count; ++n) {
            SCOPED_TRACE(QStringLiteral("%1, %2")
                             .arg(QString::fromUtf8(c.what), QString::fromUtf8(c.file).arg(n))
                             .toStdString());
            const QImage picture = builtPicture(QString::fromUtf8(c.file).arg(n));
            ASSERT_FALSE(picture.isNull());
            EXPECT_GE(worstTextContrast(picture, c.area, c.fillColumn), c.least);
        }
    // The red badge of a toxic gas (16 px bold).
    int badges = 0;
    for (int g = 1; g <= 14; ++g) {
        const QImage page = builtPicture(QStringLiteral("性質/seisitu(%1).gif").arg(g));
        const QRect badge = boxOf(page, QRect(200, 0, 142, 32), qRgb(200, 0, 0));
        if (badge.isEmpty())
            continue;
        ++badges;
        const QRect inside = badge.adjusted(3, 3, -3, -3);
        EXPECT_GE(worstTextContrast(page, inside, inside.left()), 4.5) << "gas " << g;
    }
    EXPECT_EQ(badges, 8); // chlorine, hydrogen chloride, ammonia, the nitrogen oxides, SO2, H2S, CO
}

// The height of the first character of a card's equation: the ink of the leftmost few columns
// that hold any, above the strip of reasons; the red cautions are left out.
int firstCharacterHeight(const QImage &card) {
    const auto dark = [&](int x, int y) {
        const QRgb c = card.pixel(x, y);
        return qGray(c) < 140 && qRed(c) - qGreen(c) < 60;
    };
    int first = -1;
    for (int x = 3; x < card.width() - 3 && first < 0; ++x)
        for (int y = 3; y < 68; ++y)
            if (dark(x, y)) {
                first = x;
                break;
            }
    int top = 68, bottom = 0;
    for (int x = first; x >= 0 && x < first + 8; ++x)
        for (int y = 3; y < 68; ++y)
            if (dark(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom - top + 1;
}

// Every card sets its equation in one type, so that no card looks less important than another.
TEST(MaterialCaptions, EveryEquationIsSetInOneSize) {
    QMap<int, QList<int>> byHeight;
    for (int q = 1; q <= 20; ++q)
        byHeight[firstCharacterHeight(builtPicture(QStringLiteral("反応式/siki(%1).gif").arg(q)))]
            << q;
    ASSERT_FALSE(byHeight.isEmpty());
    QStringList heights;
    for (auto it = byHeight.begin(); it != byHeight.end(); ++it) {
        QStringList questions;
        for (int q : *it)
            questions << QString::number(q);
        heights << QStringLiteral("%1 px: %2").arg(it.key()).arg(questions.join(QLatin1Char(',')));
    }
    EXPECT_LE(byHeight.lastKey() - byHeight.firstKey(), 1)
        << heights.join(QStringLiteral("; ")).toStdString();
}

// --- words in the written pictures ---------------------------------------------------------

// Pixels a pupil sees as part of a stroke: opaque and at least a quarter dark. A thin stroke set
// with anti-aliasing is mostly such partly dark pixels; where the GIF drops them, it is gone.
int inkIn(const QImage &image, const QRect &box) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int ink = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb c = argb.pixel(x, y);
            ink += qAlpha(c) >= 128 && qGray(c) < 192;
        }
    return ink;
}

// The same words set black on an opaque white ground, where no stroke can be lost.
int inkOfWordsAlone(const vaporica::SetupLabel &label) {
    QImage reference(label.box.size(), QImage::Format_ARGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setFont(label.font);
    painter.setPen(Qt::black);
    painter.drawText(reference.rect(), Qt::AlignCenter, label.text);
    painter.end();
    return inkIn(reference, reference.rect().adjusted(1, 1, -1, -1));
}

struct WrittenSetup {
    int number;
    int drawing;
    std::optional<vaporica::SetupContents> contents;
};

// Every set-up the built directory holds: the plain ones and each question's own.
QList<WrittenSetup> writtenSetups() {
    QList<WrittenSetup> setups;
    for (int n : vaporica::setupNumbers())
        setups.append({n, n, std::nullopt});
    const LoadedTables loaded =
        loadTables(QStringLiteral(VAPORICA_SOURCE_DIR "/material"), vaporica::setupNumbers());
    for (const QuestionRow &q : loaded.tables.questions)
        setups.append({QuestionSetups + q.number, q.apparatus, setupContentsOf(loaded.tables, q)});
    return setups;
}

// The heights of the lines of words on a plate: runs of rows holding dark strokes.
QList<int> lineHeights(const QImage &image, const QRect &box) {
    QList<int> heights;
    int run = 0;
    for (int y = box.top(); y <= box.bottom() + 1; ++y) {
        bool ink = false;
        for (int x = box.left(); y <= box.bottom() && x <= box.right() && !ink; ++x)
            ink = qAlpha(image.pixel(x, y)) >= 128 && qGray(image.pixel(x, y)) < 128;
        if (ink) {
            ++run;
        } else if (run > 0) {
            heights.append(run);
            run = 0;
        }
    }
    return heights;
}

// The GIF keeps a pixel or makes it transparent; strokes drawn thin on a transparent ground are
// lost. Each label in each written set-up must keep nearly all the ink of the same words alone,
// stand whole on the picture clear of the others, read at 4.5:1 on its plate, and its words stand
// 14 px high or more, so that 塩素酸 or 硫化鉄 do not run together at real size. Every reagent of
// every question is named.
TEST(SetupPictureWords, EveryLabelIsWholeLargeAndKeepsItsStrokesInTheWrittenGif) {
    const QDir folder(QStringLiteral(VAPORICA_BUILD_DIR "/装置"));
    int questions = 0;
    for (const WrittenSetup &setup : writtenSetups()) {
        const QString file = folder.filePath(QStringLiteral("souti(%1).gif").arg(setup.number));
        if (!QFile::exists(file))
            continue; // drawn but not used by the bank
        const QImage written = QImage(file).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(written.isNull()) << file.toStdString();
        const QList<vaporica::SetupLabel> all =
            vaporica::setupLabels(setup.drawing, setup.contents);
        QString named;
        for (const vaporica::SetupLabel &label : all) {
            SCOPED_TRACE(
                QStringLiteral("souti(%1) 「%2」").arg(setup.number).arg(label.text).toStdString());
            named += label.text;
            EXPECT_TRUE(written.rect().contains(label.box));
            for (const vaporica::SetupLabel &other : all)
                EXPECT_TRUE(&other == &label || !other.box.intersects(label.box))
                    << "covers " << other.text.toStdString();
            const int alone = inkOfWordsAlone(label);
            const int kept = inkIn(written, label.box.adjusted(1, 1, -1, -1)); // inside the edge
            EXPECT_GT(alone, 10 * label.text.size());
            EXPECT_GE(kept, alone * 9 / 10) << kept << " of " << alone << " ink pixels";
            const QList<int> lines = lineHeights(written, label.box.adjusted(1, 1, -1, -1));
            EXPECT_EQ(lines.size(), label.text.count(QLatin1Char('\n')) + 1);
            for (int height : lines)
                EXPECT_GE(height, 14) << "a line of words " << height << " px high";
            const QRect inside = label.box.adjusted(2, 2, -2, -2);
            EXPECT_GE(worstTextContrast(written, inside, label.box.left() + 1), 4.5);
        }
        if (!setup.contents)
            continue;
        ++questions;
        for (int r : {setup.contents->reagent1, setup.contents->reagent2})
            EXPECT_TRUE(named.contains(vaporica::reagentName(r)))
                << "souti(" << setup.number << ") does not name reagent " << r;
    }
    EXPECT_EQ(questions, 20);
}

// --- the words beside the pictures ---------------------------------------------------------

QString builtText(const QString &relative) {
    QFile file(QStringLiteral(VAPORICA_BUILD_DIR "/") + relative);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A screen reader reads the words file beside a picture: one for every picture of a card, a page
// or a set-up, none holding the tables' line-break mark (read aloud as タテセン), and each saying
// every row its picture shows.
TEST(MaterialWords, EveryPictureHasWordsWithEveryRowAndNoBreakMark) {
    const struct {
        const char *folder;
        const char *pattern;
    } folders[] = {{"反応式", "siki(*).gif"}, {"性質", "seisitu(*).gif"}, {"装置", "souti(*).gif"}};
    int files = 0;
    for (const auto &f : folders) {
        QDirIterator it(QStringLiteral(VAPORICA_BUILD_DIR "/") + QString::fromUtf8(f.folder),
                        {QString::fromLatin1(f.pattern)}, QDir::Files);
        while (it.hasNext()) {
            const QString picture = it.next();
            const QString words =
                QString(picture).replace(QStringLiteral(".gif"), QStringLiteral(".txt"));
            SCOPED_TRACE(words.toStdString());
            QFile file(words);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            EXPECT_FALSE(text.contains(QLatin1Char('|')));
            EXPECT_FALSE(text.trimmed().isEmpty());
            ++files;
        }
    }
    EXPECT_EQ(files, 20 + 14 + 29);

    const LoadedTables loaded =
        loadTables(QStringLiteral(VAPORICA_SOURCE_DIR "/material"), vaporica::setupNumbers());
    const auto joined = [](const QString &cell) { return QString(cell).remove(QLatin1Char('|')); };
    for (const QuestionRow &q : loaded.tables.questions) {
        const QString text = builtText(QStringLiteral("反応式/siki(%1).txt").arg(q.number));
        SCOPED_TRACE(q.number);
        EXPECT_TRUE(text.contains(q.reasons));
        for (const QString &caution : q.cautions)
            EXPECT_TRUE(text.contains(caution)) << caution.toStdString();
        const QString setup =
            builtText(QStringLiteral("装置/souti(%1).txt").arg(QuestionSetups + q.number));
        for (int r : {q.reagent1, q.reagent2})
            EXPECT_TRUE(setup.contains(vaporica::reagentName(r))) << setup.toStdString();
    }
    for (const GasRow &g : loaded.tables.gases) {
        const QString text = builtText(QStringLiteral("性質/seisitu(%1).txt").arg(g.number));
        SCOPED_TRACE(g.number);
        for (const QString &row : {g.colourOdour, g.water, g.collectionNote, g.drying, g.test,
                                   g.notes, g.caution, g.toxicity})
            EXPECT_TRUE(text.contains(joined(row))) << row.toStdString();
        // The comparison with air is said in words.
        EXPECT_TRUE(text.contains(g.air.section(QLatin1Char(' '), 0, 1))) << text.toStdString();
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[＞＜≒]"))));
    }
}

// --- the generator refuses text it cannot set whole -----------------------------------------

struct RefusalCase {
    const char *name;
    const char *table;
    const char *before, *after; // one edit of the table's text
    const char *expected;       // what the report must say
};

void PrintTo(const RefusalCase &c, std::ostream *os) {
    *os << c.name;
}

class MakeMaterialRefuses : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(MakeMaterialRefuses, TextThatWouldWrapOrOverflowNamingTheRow) {
    const RefusalCase &c = GetParam();
    QTemporaryDir output;
    const ToolRun run = runOnEditedTables(
        output.path(), {{c.table, QString::fromUtf8(c.before), QString::fromUtf8(c.after)}});
    EXPECT_EQ(run.status, 1) << run.report.toStdString();
    EXPECT_TRUE(run.report.contains(QString::fromUtf8(c.expected))) << run.report.toStdString();
}

// Cells no school equation has, which used to crash the generator or pass as balanced; and table
// files as other programs save them. Each: the status and a fragment of what is said.
TEST(MakeMaterial, BoundsWhatACellMayHoldAndReadsEveryLineEnd) {
    const QString deep = QString(100000, QLatin1Char('(')) + QStringLiteral("H2SO4") +
                         QString(100000, QLatin1Char(')'));
    const struct {
        const char *what;
        const char *table;
        QString before, after;
        int status;
        QString said; // in the report (status 1) or on standard output (status 0)
    } rows[] = {
        {"100,000 nested parentheses", "questions.tsv", QStringLiteral("Zn + H2SO4 →"),
         QStringLiteral("Zn + ") + deep + QStringLiteral(" →"), 1,
         QStringLiteral("問題 3（questions.tsv 14 行目）: 反応式 \"((((((((")},
        {"a coefficient that wraps to 1", "questions.tsv", QStringLiteral("Zn + H2SO4 →"),
         QStringLiteral("4294967297Zn + H2SO4 →"), 1,
         QStringLiteral("係数や添字が大きすぎます（99 までです）")},
        {"a subscript that wraps to 2", "questions.tsv", QStringLiteral("→ ZnCl2 + H2"),
         QStringLiteral("→ ZnCl4294967298 + H2"), 1,
         QStringLiteral("問題 4（questions.tsv 15 行目）: 反応式 \"ZnCl4294967298\"")},
        {"two million characters in a name", "questions.tsv",
         QStringLiteral("3\t水素\t亜鉛\t希硫酸"),
         QStringLiteral("3\t水素") + QString(2000000, QChar(0x3042)) +
             QStringLiteral("\t亜鉛\t希硫酸"),
         1, QStringLiteral("ああ… は知らない名前です")},
        {"lines ended by CR alone", "questions.tsv", QStringLiteral("\n"), QStringLiteral("\r"), 0,
         QStringLiteral("できました: ")},
        {"lines ended by CR and LF", "gases.tsv", QStringLiteral("\n"), QStringLiteral("\r\n"), 0,
         QStringLiteral("（問題 20 問、画像 ")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir output;
        const ToolRun run = runOnEditedTables(output.path(), {{row.table, row.before, row.after}});
        EXPECT_EQ(run.status, row.status) << run.report.left(300).toStdString();
        EXPECT_TRUE((row.status == 0 ? run.said : run.report).contains(row.said))
            << run.report.left(300).toStdString() << run.said.toStdString();
        EXPECT_LT(run.report.size(), 400) << "a report quotes at most a few dozen characters";
    }
}

// The teacher's tools run in the locale of the PC: Japanese school PCs run ja_JP.UTF-8, under which
// fontconfig names the Mincho faces in Japanese. tools/install-deps generates these locales.
TEST(TeacherTools, MakeAndCheckTheMaterialInEveryLocale) {
    QProcess list;
    list.start(QStringLiteral("locale"), {QStringLiteral("-a")});
    ASSERT_TRUE(list.waitForFinished(10000));
    const QString installed = QString::fromLatin1(list.readAllStandardOutput()).toLower();
    for (const char *locale : {"C", "C.UTF-8", "ja_JP.UTF-8", "en_US.UTF-8"}) {
        SCOPED_TRACE(locale);
        const QString name = QString::fromLatin1(locale).toLower().replace(QStringLiteral("utf-8"),
                                                                           QStringLiteral("utf8"));
        ASSERT_TRUE(name == QStringLiteral("c") || installed.contains(name))
            << locale << " is not installed: tools/install-deps generates it";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
        QTemporaryDir output;
        QProcess make;
        make.setProcessEnvironment(env);
        make.start(QStringLiteral(VAPORICA_BUILD_DIR "/tools/make-material"),
                   {QStringLiteral(VAPORICA_SOURCE_DIR "/material"), output.path()});
        ASSERT_TRUE(make.waitForFinished(120000));
        const QString said = QString::fromUtf8(make.readAllStandardOutput());
        const QString report = QString::fromUtf8(make.readAllStandardError());
        EXPECT_EQ(make.exitCode(), 0) << report.toStdString();
        EXPECT_TRUE(said.contains(QStringLiteral("できました: "))) << said.toStdString();
        QProcess check;
        check.setProcessEnvironment(env);
        check.start(QStringLiteral(VAPORICA_BUILD_DIR "/tools/check-material"), {output.path()});
        ASSERT_TRUE(check.waitForFinished(60000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
    }
}

// A teacher's slips, each said in words that tell what to do; what an input method types is taken
// as meant.
TEST(MakeMaterial, SaysWhatATeachersSlipIs) {
    const struct {
        const char *what;
        QString before, after;
        bool intoTables;
        int status;
        QString said;
    } rows[] = {
        {"a reagent named as its solution", QStringLiteral("2\t酸素\t過酸化水素\t"),
         QStringLiteral("2\t酸素\t過酸化水素水\t"), false, 1,
         QStringLiteral(
             "問題 2（questions.tsv 13 行目）: 薬品1 の 過酸化水素水 は知らない名前です。"
             "過酸化水素 のまちがいですか？")},
        {"a name far from every name", QStringLiteral("3\t水素\t"),
         QStringLiteral("3\tオゾンと酸素の混合気体\t"), false, 1,
         QStringLiteral("名前は気体表（gases.tsv）と同じに書きます")},
        {"spaces instead of tabs", QStringLiteral("3\t水素\t亜鉛\t希硫酸\t1\t水上置換\t1\t"),
         QStringLiteral("3 水素 亜鉛 希硫酸 1 水上置換 1 "), false, 1,
         QStringLiteral(
             "問題 3（questions.tsv 14 行目）: 列はタブで区切ります（スペースが入っています）")},
        {"full-width digits and plus", QStringLiteral("Zn + H2SO4 → ZnSO4 + H2"),
         QStringLiteral("Zn ＋ H２SO４ → ZnSO₄ + H2"), false, 0, QStringLiteral("できました: ")},
        {"into the tables' own folder",
         {},
         {},
         true,
         1,
         QStringLiteral("出力先が表のフォルダー（またはその中）です")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir output;
        const ToolRun run = runOnEditedTables(row.intoTables ? QString() : output.path(),
                                              {{"questions.tsv", row.before, row.after}});
        EXPECT_EQ(run.status, row.status) << run.report.toStdString();
        EXPECT_TRUE((run.said + run.report).contains(row.said))
            << run.report.toStdString() << run.said.toStdString();
    }
}

// A run that fails while drawing leaves the data directory it writes to exactly as it was: no
// question may end up with another question's pictures.
TEST(MakeMaterial, AFailedRunLeavesTheOutputAsItWas) {
    QTemporaryDir output;
    ASSERT_EQ(runOnEditedTables(output.path(), {}).status, 0);
    const auto snapshot = [&] {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(output.path(), QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile f(it.next());
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            files[it.filePath()] = f.readAll();
        }
        return files;
    };
    const QMap<QString, QByteArray> before = snapshot();
    // Question 2's reasons no longer fit its card: found only when the card is drawn, after the
    // bank and the first pictures would have been written.
    const ToolRun failed = runOnEditedTables(
        output.path(),
        {{"questions.tsv", QStringLiteral("→三角フラスコ　水に溶けにくい"),
          QStringLiteral("→三角フラスコ（コックで液体を少しずつ加える）　水に溶けにくい")}});
    EXPECT_EQ(failed.status, 1) << failed.report.toStdString();
    EXPECT_TRUE(failed.report.contains(QStringLiteral("問題 2（questions.tsv 13 行目）")))
        << failed.report.toStdString();
    const QMap<QString, QByteArray> after = snapshot();
    EXPECT_EQ(after.keys(), before.keys());
    EXPECT_TRUE(after == before) << "a file of the data directory changed";
}

INSTANTIATE_TEST_SUITE_P(
    Tables, MakeMaterialRefuses,
    ::testing::Values(
        // Without its break mark the line is wider than the row: refused, not broken mid-word.
        RefusalCase{"UnmarkedLongLine", "gases.tsv", "酸化力が強い。2NO2 ⇄ N2O4（無色）。|水と",
                    "酸化力が強い。2NO2 ⇄ N2O4（無色）。水と",
                    "gases.tsv 21 行目: 二酸化窒素 の「性質」の行「酸化力が強い。"},
        RefusalCase{"RowsPastThePage", "gases.tsv", "吸いこまないよう、ドラフト内で扱う",
                    "吸いこまないよう、|ドラフト内で|扱う|こと|とする",
                    "gases.tsv 21 行目: 二酸化窒素 の性質が 15 行"},
        RefusalCase{
            "ReasonsWiderThanTheCard", "questions.tsv", "→三角フラスコ　水に溶けにくい",
            "→三角フラスコ（コックで液体を少しずつ加える）　水に溶けにくい",
            "問題 2（questions.tsv 13 行目）: 理由「固体＋液体・加熱なし→三角フラスコ（コック"}),
    [](const auto &info) { return std::string(info.param.name); });

// --- check-material -------------------------------------------------------------------------

TEST(CheckMaterial, PassesOnTheBuiltDirectory) {
    const ToolRun run = runChecker(QStringLiteral(VAPORICA_BUILD_DIR));
    EXPECT_EQ(run.status, 0) << (run.said + run.report).toStdString();
    EXPECT_TRUE((run.said + run.report).contains(QStringLiteral("完全です")))
        << (run.said + run.report).toStdString();
}

struct FaultCase {
    const char *name;
    std::function<void(const DataCopy &)> damage;
    const char *expected; // what the report must say
};

// Names a case by its name alone in test output.
void PrintTo(const FaultCase &c, std::ostream *os) {
    *os << c.name;
}

class CheckMaterialFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CheckMaterialFault, FailsAndNamesTheProblem) {
    const FaultCase &c = GetParam();
    DataCopy copy;
    c.damage(copy);
    const ToolRun run = runChecker(copy.root());
    EXPECT_EQ(run.status, 1) << (run.said + run.report).toStdString();
    EXPECT_TRUE((run.said + run.report).contains(QString::fromUtf8(c.expected)))
        << (run.said + run.report).toStdString();
    EXPECT_TRUE((run.said + run.report).contains(QStringLiteral("不完全です")))
        << (run.said + run.report).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CheckMaterialFault,
    ::testing::Values(
        FaultCase{"MissingPicture",
                  [](const DataCopy &d) { d.remove(QStringLiteral("薬品/yaku1(5).gif")); },
                  "薬品/yaku1(5).gif: ファイルがありません"},
        FaultCase{"TruncatedQuestionFile",
                  [](const DataCopy &d) {
                      const QByteArray all = d.read(QStringLiteral("説明/mondai.txt"));
                      d.write(QStringLiteral("説明/mondai.txt"),
                              all.split('\n').mid(0, 10).join('\n'));
                  },
                  "説明/mondai.txt: 値が 60 個しかありません。120 個必要です"},
        FaultCase{"ReagentNumber25",
                  [](const DataCopy &d) {
                      d.replaceLine(QStringLiteral("説明/mondai.txt"), 4, "2,1,25,1,3,1");
                  },
                  "説明/mondai.txt:4: 21 番目の値（問題 4 の薬品2）が 25 です"},
        FaultCase{"EmptyField",
                  [](const DataCopy &d) {
                      d.replaceLine(QStringLiteral("説明/mondai.txt"), 2, "1,,19,1,3,1");
                  },
                  "説明/mondai.txt:2: 8 番目の値（問題 2 の薬品1）が空です"},
        FaultCase{"CorruptGif",
                  [](const DataCopy &d) {
                      QByteArray gif = d.read(QStringLiteral("反応式/siki(12).gif"));
                      d.write(QStringLiteral("反応式/siki(12).gif"), gif.left(gif.size() / 2));
                  },
                  "反応式/siki(12).gif: GIF が壊れています"},
        // A picture at twice the size is checked like its own, and must be the same picture.
        FaultCase{"CorruptDoubleSizeGif",
                  [](const DataCopy &d) {
                      QByteArray gif = d.read(QStringLiteral("反応式/siki(12)@2x.gif"));
                      d.write(QStringLiteral("反応式/siki(12)@2x.gif"), gif.left(gif.size() / 2));
                  },
                  "反応式/siki(12)@2x.gif: GIF が壊れています"},
        FaultCase{"DoubleSizeAtItsOwnSize",
                  [](const DataCopy &d) {
                      d.write(QStringLiteral("気体/gas1(3)@2x.gif"),
                              d.read(QStringLiteral("気体/gas1(3).gif")));
                  },
                  "気体/gas1(3)@2x.gif: 120 × 40 ピクセルです。120 × 40 の画像を 2 倍の大きさ"},
        // Another picture put in place of a generated one, the old one at twice the size left.
        FaultCase{"DoubleSizeOfAnotherPicture",
                  [](const DataCopy &d) {
                      d.write(QStringLiteral("気体/gas2(3).gif"),
                              d.read(QStringLiteral("気体/gas1(3).gif")));
                  },
                  "気体/gas2(3)@2x.gif: 元の大きさの画像と同じ絵ではありません"},
        FaultCase{"MissingSound", [](const DataCopy &d) { d.remove(QStringLiteral("音/o.wav")); },
                  "音/o.wav: ファイルがありません"},
        // What the program would refuse, the checker reports the same way.
        FaultCase{"SoundCutOff",
                  [](const DataCopy &d) {
                      d.write(QStringLiteral("音/x.wav"),
                              d.read(QStringLiteral("音/x.wav")).left(20000));
                  },
                  "音/x.wav: 音として使えません（ファイルが途中で切れています"},
        FaultCase{"SelfDrawingSvgAsPicture",
                  [](const DataCopy &d) {
                      d.write(QStringLiteral("性質/seisitu(2).gif"),
                              "<svg xmlns='http://www.w3.org/2000/svg'><image "
                              "href='seisitu(2).gif' width='9' height='9'/></svg>");
                  },
                  "性質/seisitu(2).gif: 画像として読めません（ピクチャが無効です (SVG "
                  "形式は読み込めません。GIF か BMP で保存してください)）"},
        // Unprintable bytes are shown escaped, not written to the teacher's terminal.
        FaultCase{"ControlByteInAField",
                  [](const DataCopy &d) {
                      d.replaceLine(QStringLiteral("説明/mondai.txt"), 2,
                                    QByteArray("1,\0x,19,1,3,1", 13));
                  },
                  "\"\\x00x\" は整数ではありません"},
        FaultCase{"ByteOrderMarkStartingALine",
                  [](const DataCopy &d) {
                      d.replaceLine(QStringLiteral("説明/mondai.txt"), 3,
                                    "\xEF\xBB\xBF"
                                    "3,3,7,1,1,4");
                  },
                  "\"\\ufeff3\" は整数ではありません"},
        FaultCase{
            "ApparatusPictureThatIsNotThere",
            [](const DataCopy &d) { d.replaceLine(QStringLiteral("説明/taiou.txt"), 5, "99"); },
            "装置/souti(99).gif: ファイルがありません"}),
    [](const ::testing::TestParamInfo<FaultCase> &info) { return std::string(info.param.name); });

// The checker checks what the program reads, and the program reads 120 values of mondai.txt, the
// first after a byte-order mark: what follows is only noted, however broken.
TEST(CheckMaterial, ChecksWhatTheProgramReadsAndNoMore) {
    DataCopy copy;
    const QByteArray bank = copy.read(QStringLiteral("説明/mondai.txt"));
    copy.write(QStringLiteral("説明/mondai.txt"), "\xEF\xBB\xBF" + bank +
                                                      "99999999999,\0\xEF\xBB\xBF,\n" +
                                                      QByteArray(2'000'000, '7'));
    const ToolRun run = runChecker(copy.root());
    EXPECT_EQ(run.status, 0) << (run.said + run.report).toStdString();
    EXPECT_TRUE((run.said + run.report)
                    .contains(QStringLiteral("説明/mondai.txt:21: 121 番目からの値は読まれません")))
        << (run.said + run.report).toStdString();
}

// Pictures are written readable by every user, so a copied or installed data directory works for
// any pupil's login.
TEST(MaterialFiles, AreReadableByEveryone) {
    for (const QString &folder : dataFolders()) {
        QDirIterator it(QStringLiteral(VAPORICA_BUILD_DIR "/") + folder, QDir::Files);
        while (it.hasNext()) {
            const QString file = it.next();
            EXPECT_TRUE(QFileInfo(file).permissions().testFlag(QFileDevice::ReadOther))
                << file.toStdString();
        }
    }
}

} // namespace
