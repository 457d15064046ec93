#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    Form1 window;
    window.Form_Load();
    return app.exec();
}
