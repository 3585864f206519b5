// Matrix Control: drives an audio/video matrix switcher over a serial port
// or TCP. The main window is the program's controller.
#include <QApplication>

#include "app/tform1.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TForm1 form(QCoreApplication::applicationDirPath());
    form.show();
    return app.exec();
}
