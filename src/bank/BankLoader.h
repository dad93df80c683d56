#pragma once

#include <QString>

namespace vaporica {

// Reads mondai.txt into the question arrays and taiou.txt into GasApparatus, straight into the
// shared variables (a failure part-way leaves what was read; the program ends at once then).
void loadQuestionBank();

// Empties the recent-question window for the current QuestionCount.
void emptyRecentWindow();

} // namespace vaporica
