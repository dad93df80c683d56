#pragma once

// One question tried in the pupils' program before it is published: a temporary data directory
// in which every question is this one, made by the generator, and the pupils' program started on
// it; nothing is installed.

#include "QuestionEditor.h"
#include "Report.h"

#include <QTemporaryDir>
#include <memory>

namespace vaporica::editor {

class QuestionTrial {
public:
    Report start(const QuestionEditor &editor, int question);

private:
    // The data of the trial last started, kept while its program runs: the next trial or the
    // editor's end removes it.
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace vaporica::editor
