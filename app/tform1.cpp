#include "app/tform1.h"
TForm1::TForm1(const QString &, QWidget *parent) : QMainWindow(parent) {}
