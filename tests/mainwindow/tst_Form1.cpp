#include "mainwindow/Form1.h"

#include <QTest>

class tst_Form1 : public QObject
{
    Q_OBJECT

private slots:
    void loadShowsTheTitledWindow();
};

void tst_Form1::loadShowsTheTitledWindow()
{
    Form1 window;
    QVERIFY(!window.isVisible());
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QString("Zorvane"));
}

QTEST_MAIN(tst_Form1)
#include "tst_Form1.moc"
