#pragma once

// The window's commands in a tool bar of words: each with its keys, told in its tool tip, and a
// name for a screen reader without the mnemonic's mark.

#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <functional>

namespace vaporica::editor {

struct Command {
    QString text; // with its mnemonic: 「保存(&S)」
    QKeySequence keys;
    std::function<void()> run;
};

void addCommandBar(QMainWindow *window, const QList<Command> &commands);

} // namespace vaporica::editor
