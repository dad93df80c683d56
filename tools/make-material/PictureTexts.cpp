#include "PictureTexts.h"

#include "ApparatusArt.h"
#include "MaterialRecord.h"
#include "PropertiesPage.h"
#include "assets/DataPaths.h"
#include "assets/PictureText.h"
#include "base/Names.h"

#include <QFile>
#include <QRegularExpression>
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

namespace {

// A row's text as it reads aloud: the page's line breaks joined (the table breaks lines where the
// words run on), and the comparison with air said in words, not as ＞ ＜ ≒.
QString spoken(const QString &text) {
    QString words = QString(text).remove(QLatin1Char('|'));
    static const QRegularExpression comparison(QStringLiteral("^(.*?)\\s*([＞＜≒])\\s*(.*)$"));
    const QRegularExpressionMatch m = comparison.match(words);
    if (m.hasMatch()) {
        const QString how = m.captured(2) == QStringLiteral("＞")   ? QStringLiteral("より重い")
                            : m.captured(2) == QStringLiteral("＜") ? QStringLiteral("より軽い")
                                                                    : QStringLiteral("とほぼ同じ");
        words = m.captured(1) + QStringLiteral("、") + m.captured(3) + how;
    }
    return words;
}

// Sentences joined, each ended once.
QString sentences(const QStringList &parts) {
    QString text;
    for (QString part : parts) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        text += part;
        if (!part.endsWith(QStringLiteral("。")))
            text += QStringLiteral("。");
    }
    return text;
}

} // namespace

QString equationText(const QuestionRow &q) {
    QStringList conditions;
    for (const QString &c : {q.overArrow, q.underArrow})
        if (!c.isEmpty())
            conditions.append(c);
    QStringList parts;
    parts << (conditions.isEmpty()
                  ? q.equation
                  : q.equation + QStringLiteral("（") + conditions.join(QStringLiteral("、")) +
                        QStringLiteral("）"));
    parts << q.cautions;
    parts << QStringLiteral("理由：") + q.reasons;
    return sentences(parts);
}

QString propertiesText(const GasRow &g) {
    QStringList parts{gasName(g.number) + QStringLiteral("、") + g.formula};
    if (!g.toxicity.isEmpty())
        parts << g.toxicity;
    for (const PropertiesRow &row : propertiesRows(g))
        parts << row.label + QStringLiteral("：") + spoken(row.text);
    return sentences(parts);
}

QString setupText(int drawing, const std::optional<SetupContents> &contents, const Tables &t,
                  const QuestionRow *question) {
    QStringList parts;
    if (question) {
        const GasRow &gas = t.gases.value(question->gas - 1);
        parts << gasName(question->gas) + QStringLiteral("の発生と捕集");
        parts << setupWords(drawing, contents);
        if (gas.swatch)
            parts << QStringLiteral("集気びんに%1の気体がたまっている")
                         .arg(gas.colourOdour.section(QStringLiteral("・"), 0, 0));
    } else {
        parts << QStringLiteral("装置図 %1").arg(drawing);
        parts << setupWords(drawing, contents);
    }
    return sentences(parts);
}

void writePictureTexts(const QString &root, const Tables &t) {
    for (const QuestionRow &q : t.questions)
        writeUtf8(pictureTextPath(picturePathUnder(root, fragment::Equation, q.number)),
                  equationText(q));
    for (const GasRow &g : t.gases) {
        writeUtf8(pictureTextPath(picturePathUnder(root, fragment::Properties, g.number)),
                  propertiesText(g));
        writeUtf8(textPathUnder(root, fragment::ApparatusNote, g.number), g.apparatusNote);
    }
    for (const QuestionRow &q : t.questions)
        writeUtf8(
            pictureTextPath(picturePathUnder(root, fragment::Apparatus, QuestionSetups + q.number)),
            setupText(q.apparatus, setupContentsOf(t, q), t, &q));
    for (int n : setupNumbers())
        writeUtf8(pictureTextPath(picturePathUnder(root, fragment::Apparatus, n)),
                  setupText(n, std::nullopt, t, nullptr));
}

} // namespace vaporica::material
