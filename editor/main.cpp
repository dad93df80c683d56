// The question editor: 「ヴァポリカ 問題の編集」.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ヴァポリカ 問題の編集"));
    window.show();
    return app.exec();
}
