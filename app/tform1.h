#pragma once
#include <QMainWindow>

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(const QString &baseFolder, QWidget *parent = nullptr);
};
