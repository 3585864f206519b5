// Matrix Control: drives an audio/video matrix switcher over a serial port
// or TCP. The main window is the program's controller.
#include <QApplication>

#include "app/tform1.h"

int main(int argc, char **argv)
{
    // The program reads no command line, and Qt gets none of it either
    // (an option such as -qwindowtitle would override the caption).
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    TForm1 form(QCoreApplication::applicationDirPath());
    form.show();
    return app.exec();
}
