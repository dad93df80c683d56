#pragma once

#include <QString>

namespace vaporica {

// Reads mondai.txt into the question arrays and taiou.txt into GasApparatus, straight into the
// shared variables (a failure part-way leaves what was read; the program ends at once then).
void loadQuestionBank();

// Sets QuestionCount to 20 and empties the recent-question window.
void emptyRecentWindow();

} // namespace vaporica
