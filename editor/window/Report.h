#pragma once

#include <QString>

namespace vaporica::editor {

// What an action tells the teacher: a line in the status bar and, when something went wrong, a
// box as well. Nothing at all when the message is empty (the teacher cancelled a dialog).
struct Report {
    QString message;
    bool problem = false;
};

} // namespace vaporica::editor
