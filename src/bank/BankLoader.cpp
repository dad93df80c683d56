#include "bank/BankLoader.h"

#include "assets/DataPaths.h"
#include "bank/NumberReader.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"

namespace vaporica {

int reagentIndex(int q, int k, const char *controlArray, int upper) {
    const int value = Reagent(q, k);
    if (value >= 1 && value <= upper)
        return value;
    const RuntimeError bad = subscriptError(controlArray, value, 1, upper);
    throw RuntimeError(bad.number(), bad.message(),
                       QStringLiteral("%1: %2 の問題 %3 の薬品%4 (記録の %5 番目の値) が %6 です")
                           .arg(bad.subject(), dataPath(DataRoot, fragment::QuestionFile))
                           .arg(q)
                           .arg(k)
                           .arg(1 + k)
                           .arg(value));
}

namespace {

// An answer no button can give would leave the question unwinnable for good: reported when the
// bank is read, as an out-of-range reagent is.
void requireAnswerable(int q, int field, const QString &what, int value, int upper) {
    if (value >= 1 && value <= upper)
        return;
    throw RuntimeError(ErrorNumber::SubscriptOutOfRange,
                       QStringLiteral("インデックスが有効範囲にありません"),
                       QStringLiteral("%1 の問題 %2 の%3 (記録の %4 番目の値) が %5 です。"
                                      "1..%6 のどれかにしてください")
                           .arg(dataPath(DataRoot, fragment::QuestionFile))
                           .arg(q)
                           .arg(what)
                           .arg(field)
                           .arg(value)
                           .arg(upper));
}

} // namespace

void emptyRecentWindow() {
    for (int i = 1; i <= QuestionCount; ++i) {
        UsedFlag(i) = 0;
        RecentQueue(i) = 0;
    }
}

void loadQuestionBank() {
    {
        NumberReader questions(dataPath(DataRoot, fragment::QuestionFile));
        const int needed = QuestionCount * contract::QuestionValues;
        for (int q = 1; q <= QuestionCount; ++q) {
            AnswerGas(q) = questions.next(needed);
            for (int k = 1; k <= 2; ++k)
                Reagent(q, k) = questions.next(needed);
            GeneratorAnswer(q) = questions.next(needed);
            CollectorAnswer(q) = questions.next(needed);
            ApparatusPicture(q) = questions.next(needed);
        }
        for (int q = 1; q <= QuestionCount; ++q) {
            requireAnswerable(q, 1, QStringLiteral("気体"), AnswerGas(q), GasCount);
            requireAnswerable(q, 4, QStringLiteral("発生装置"), GeneratorAnswer(q), GeneratorCount);
            requireAnswerable(q, 5, QStringLiteral("捕集方法"), CollectorAnswer(q), CollectorCount);
        }
    }
    NumberReader gases(dataPath(DataRoot, fragment::GasApparatusFile));
    for (int g = 1; g <= GasCount; ++g)
        GasApparatus(g) = gases.next(GasCount);
}

} // namespace vaporica
