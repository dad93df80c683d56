#pragma once

#include <QString>

namespace vaporica {

// Reads mondai.txt into the question arrays and taiou.txt into GasApparatus, straight into the
// shared variables (a failure part-way leaves what was read; the program ends at once then).
void loadQuestionBank();

// Question q's reagent k (1 or 2) as the index of a control array of `upper` items. A value out of
// range ends the program as any bad index does, and the report also names the bank file, the
// question and the value, so a teacher knows where to look.
int reagentIndex(int q, int k, const char *controlArray, int upper);

// Empties the recent-question window for the current QuestionCount.
void emptyRecentWindow();

} // namespace vaporica
