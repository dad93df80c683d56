// The question editor: 「ヴァポリカ 問題の編集」. Opens the tables in force on this PC (the
// school's, else the shipped examples), or the folder given on the command line.

#include "EditorWindow.h"
#include "QuestionEditor.h"
#include "Typeset.h"
#include "drawing/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <stdexcept>

namespace {

// The package's tables beside the installed program, or the source tree's in a build.
QString shippedTables() {
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/../share/vaporica"));
    return QFileInfo::exists(installed + QStringLiteral("/questions.tsv"))
               ? installed
               : QStringLiteral(VAPORICA_BUILD_MATERIAL_DIR);
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("ヴァポリカ 問題の編集"));
    vaporica::installFontSubstitutes();
    try {
        vaporica::material::requireMinchoFaces();
    } catch (const std::runtime_error &e) {
        QMessageBox::critical(nullptr, QStringLiteral("ヴァポリカ 問題の編集"),
                              QString::fromStdString(e.what()));
        return 1;
    }
    const QString shipped = shippedTables();
    const QStringList args = app.arguments();
    const QString tables = args.size() > 1 ? args[1] : vaporica::editor::tablesInForce(shipped);
    auto opened = vaporica::editor::QuestionEditor::open(tables, shipped);
    if (!opened.editor) {
        QMessageBox::critical(nullptr, QStringLiteral("ヴァポリカ 問題の編集"), opened.report);
        return 1;
    }
    vaporica::editor::EditorWindow window(std::move(opened.editor), tables, shipped);
    window.resize(1500, 900);
    window.show();
    return app.exec();
}
