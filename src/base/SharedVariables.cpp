#include "base/SharedVariables.h"

namespace vaporica {

QString DataRoot;
IntegerArray<MaxQuestions> AnswerGas("AnswerGas");
IntegerArray2<MaxQuestions, 2> Reagent("Reagent");
IntegerArray<MaxQuestions> GeneratorAnswer("GeneratorAnswer");
IntegerArray<MaxQuestions> CollectorAnswer("CollectorAnswer");
IntegerArray<MaxQuestions> ApparatusPicture("ApparatusPicture");
Integer QuestionCount = 0;
IntegerArray<MaxQuestions> UsedFlag("UsedFlag");
IntegerArray<MaxQuestions> RecentQueue("RecentQueue");
Integer CurrentQuestion = 0;
IntegerArray<GasCount> GasApparatus("GasApparatus");

void resetSharedVariables() {
    DataRoot.clear();
    AnswerGas.clear();
    Reagent.clear();
    GeneratorAnswer.clear();
    CollectorAnswer.clear();
    ApparatusPicture.clear();
    QuestionCount = 0;
    UsedFlag.clear();
    RecentQueue.clear();
    CurrentQuestion = 0;
    GasApparatus.clear();
}

} // namespace vaporica
