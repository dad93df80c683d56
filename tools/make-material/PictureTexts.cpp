#include "PictureTexts.h"

#include "assets/DataPaths.h"
#include "assets/PictureText.h"

#include <QFile>
#include <QStringList>
#include <stdexcept>

namespace vaporica::material {

namespace {
void writeUtf8(const QString &path, const QString &text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error(QStringLiteral("%1: 書けません").arg(path).toStdString());
}
} // namespace

QString equationText(const QuestionRow &q) {
    QStringList conditions;
    for (const QString &c : {q.overArrow, q.underArrow})
        if (!c.isEmpty())
            conditions.append(c);
    QString text = q.equation;
    if (!conditions.isEmpty())
        text += QStringLiteral("（") + conditions.join(QStringLiteral("、")) + QStringLiteral("）");
    // The strip under the equation is part of the card a pupil reads.
    if (!q.reasons.isEmpty())
        text += QStringLiteral("。理由: ") + q.reasons;
    return text;
}

QString propertiesText(const GasRow &g) {
    QStringList parts{QStringLiteral("化学式 ") + g.formula,
                      QStringLiteral("捕集 ") + collectionName(g.collection)};
    for (const QString &field : {g.colourOdour, g.water, g.air})
        if (!field.isEmpty())
            parts.append(field);
    if (!g.test.isEmpty())
        parts.append(QStringLiteral("検出 ") + g.test);
    for (const QString &field : {g.notes, g.toxicity, g.caution})
        if (!field.isEmpty())
            parts.append(field);
    // A | only breaks the page's line; read aloud, the words run on.
    QString text = parts.join(QStringLiteral("。")) + QStringLiteral("。");
    return text.remove(QLatin1Char('|'));
}

void writePictureTexts(const QString &root, const Tables &t) {
    for (const QuestionRow &q : t.questions)
        writeUtf8(pictureTextPath(picturePathUnder(root, fragment::Equation, q.number)),
                  equationText(q));
    for (const GasRow &g : t.gases)
        writeUtf8(pictureTextPath(picturePathUnder(root, fragment::Properties, g.number)),
                  propertiesText(g));
}

} // namespace vaporica::material
