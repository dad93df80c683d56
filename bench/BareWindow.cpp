// The reference that bench/startup-measure measures the program against: the least a Qt Widgets
// program does to show one window with the client size of the menu (650 x 419) and a title.
// Nothing else is loaded, drawn or set up.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(650, 419);
    window.show();
    return app.exec();
}
