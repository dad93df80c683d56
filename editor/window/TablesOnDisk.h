#pragma once

// The folder the teacher saves the tables in, and what is done from it: the tables published for
// every user of this PC or exported as one file are always the saved ones.

#include "QuestionEditor.h"
#include "Report.h"

#include <QWidget>

namespace vaporica::editor {

class TablesOnDisk {
public:
    TablesOnDisk();
    // Asks for the folder, starting at the last one saved in.
    Report save(QWidget *parent, QuestionEditor &editor);
    Report publish(const QuestionEditor &editor) const;
    Report exportFile(QWidget *parent, const QuestionEditor &editor) const;

private:
    bool savedAsEdited(const QuestionEditor &editor) const;

    QString folder_;
};

} // namespace vaporica::editor
