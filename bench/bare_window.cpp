// A bare Qt window program: the baseline the program's start-up is measured
// against.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(1228, 522);
    window.show();
    return app.exec();
}
