#include "CommandBar.h"

#include <QAction>
#include <QRegularExpression>
#include <QToolBar>

namespace vaporica::editor {

namespace {

QString toolTipOf(const Command &command) {
    return QStringLiteral("%1（%2）")
        .arg(QString(command.text).remove(QStringLiteral("&")),
             command.keys.toString(QKeySequence::NativeText));
}

// 「保存(&S)」 is read 「保存」.
QString spokenNameOf(const Command &command) {
    return QString(command.text).remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
}

} // namespace

void addCommandBar(QMainWindow *window, const QList<Command> &commands) {
    QToolBar *bar = window->addToolBar(QStringLiteral("操作"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const Command &command : commands) {
        auto *a = new QAction(command.text, window);
        a->setShortcut(command.keys);
        a->setToolTip(toolTipOf(command));
        QObject::connect(a, &QAction::triggered, window, command.run);
        bar->addAction(a);
        if (QWidget *w = bar->widgetForAction(a))
            w->setAccessibleName(spokenNameOf(command));
    }
}

} // namespace vaporica::editor
