#include "screens/SpokenWords.h"

#include "base/Names.h"
#include "base/SharedVariables.h"

namespace vaporica {

QString sentences(const QStringList &parts) {
    QString joined;
    for (QString part : parts) {
        while (part.endsWith(QStringLiteral("。")))
            part.chop(1);
        if (!part.isEmpty())
            joined += part + QStringLiteral("。");
    }
    return joined;
}

QString reagentsOf(int q) {
    return reagentName(Reagent(q, 1)) + QStringLiteral("と") + reagentName(Reagent(q, 2));
}

QString gasQuestionWords(int q) {
    return QStringLiteral("問題: %1。発生する気体は何ですか。").arg(reagentsOf(q));
}

QString apparatusQuestionWords(int q) {
    return QStringLiteral("気体: %1。薬品: %2。気体の発生装置と捕集方法を選んでください。")
        .arg(gasName(AnswerGas(q)), reagentsOf(q));
}

QString setUpWords(int q) {
    return generatorWords(GeneratorAnswer(q)) + QStringLiteral("、") +
           collectionName(CollectorAnswer(q));
}

QString summaryWords(int q, const QString &equationWords, const QString &setUp) {
    const auto headed = [](const QString &heading, const QString &words) {
        return words.isEmpty() ? QString() : heading + words;
    };
    return sentences({QStringLiteral("まとめ"), QStringLiteral("気体: ") + gasName(AnswerGas(q)),
                      QStringLiteral("薬品: ") + reagentsOf(q),
                      headed(QStringLiteral("化学反応式: "), equationWords),
                      headed(QStringLiteral("実験装置: "), setUp)});
}

} // namespace vaporica
