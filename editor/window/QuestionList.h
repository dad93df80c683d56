#pragma once

// The twenty questions down the window's left side: each with its equation card, its gas and
// reagents, and whether it differs from the shipped question or holds an error.

#include "QuestionEditor.h"

#include <QListWidget>

namespace vaporica::editor {

class QuestionList : public QListWidget {
public:
    explicit QuestionList(int questionCount);
    // Every row as the questions now stand; the card of `current` drawn again, the others' only
    // where they have none yet.
    void describe(const QuestionEditor &editor, int current);

private:
    void describeRow(const QuestionEditor &editor, int question, bool redrawCard);
};

} // namespace vaporica::editor
