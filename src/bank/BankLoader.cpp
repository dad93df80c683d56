#include "bank/BankLoader.h"

#include "app/SharedVariables.h"
#include "assets/DataPaths.h"
#include "bank/NumberReader.h"

namespace vaporica {

namespace {
constexpr int ValuesPerQuestion = 6;
}

void emptyRecentWindow() {
    for (int i = 1; i <= QuestionCount; ++i) {
        UsedFlag(i) = 0;
        RecentQueue(i) = 0;
    }
}

void loadQuestionBank() {
    {
        NumberReader questions(dataPath(DataRoot, fragment::QuestionFile));
        const int needed = QuestionCount * ValuesPerQuestion;
        for (int q = 1; q <= QuestionCount; ++q) {
            AnswerGas(q) = questions.next(needed);
            for (int k = 1; k <= 2; ++k)
                Reagent(q, k) = questions.next(needed);
            GeneratorAnswer(q) = questions.next(needed);
            CollectorAnswer(q) = questions.next(needed);
            ApparatusPicture(q) = questions.next(needed);
        }
    }
    NumberReader gases(dataPath(DataRoot, fragment::GasApparatusFile));
    for (int g = 1; g <= GasCount; ++g)
        GasApparatus(g) = gases.next(GasCount);
}

} // namespace vaporica
