#include "mainwindow/Form1.h"

Form1::Form1(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zorvane"));
    resize(420, 240);
}

void Form1::Form_Load()
{
    show();
}
