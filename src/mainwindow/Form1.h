#pragma once

#include <QWidget>

// The main window. Its load handler is the program's entry point.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    void Form_Load();
};
