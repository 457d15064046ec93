#include "engine/RunState.h"
#include "engine/frmOW.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class tst_frmOW : public QObject
{
    Q_OBJECT

private slots:
    void closingRecordsTheAnswer_data();
    void closingRecordsTheAnswer();
    void messageNamesOnlyTheFile_data();
    void messageNamesOnlyTheFile();
};

void tst_frmOW::closingRecordsTheAnswer_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("forAll");
    QTest::addColumn<QString>("expectedAnswer");

    QTest::newRow("Overwrite") << "Command1" << false << "ow";
    QTest::newRow("Skip, for all") << "Command2" << true << "skip";
    QTest::newRow("Cancel") << "Command3" << false << "cancel";
    QTest::newRow("Enter is Overwrite") << "Enter" << true << "ow";
    QTest::newRow("Escape is Cancel") << "Escape" << true << "cancel";
    QTest::newRow("close box, for all") << "close" << true << "";
    QTest::newRow("close box") << "close" << false << "";
}

void tst_frmOW::closingRecordsTheAnswer()
{
    QFETCH(QString, action);
    QFETCH(bool, forAll);
    QFETCH(QString, expectedAnswer);

    // The session clears the answer before asking; "for all" starts opposite to
    // what the window must record, so a missed write shows.
    RunState::instance().OverwriteAnswer.clear();
    RunState::instance().OverwriteForAll = !forAll;

    frmOW dlg;
    dlg.setMessage("docs/readme.txt");
    QWidget* window = nullptr;
    bool blnLeftOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
        window = QApplication::activeModalWidget();
        auto* check = dlg.findChild<QCheckBox*>("Check1");
        if (window == &dlg && check && !check->isChecked() && QTest::qWaitForWindowActive(window)) {
            if (forAll)
                QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(check->height() / 2, check->height() / 2));
            if (action == "Enter")
                QTest::keyClick(window, Qt::Key_Return);
            else if (action == "Escape")
                QTest::keyClick(window, Qt::Key_Escape);
            else if (action == "close")
                window->close();
            else
                QTest::mouseClick(window->findChild<QPushButton*>(action), Qt::LeftButton);
        }
        // Never leave a failing test hanging in the modal loop.
        blnLeftOpen = dlg.isVisible();
        if (blnLeftOpen)
            dlg.QDialog::done(QDialog::Rejected);
    });
    dlg.exec();

    QCOMPARE(window, static_cast<QWidget*>(&dlg));
    QVERIFY(!blnLeftOpen);
    QCOMPARE(RunState::instance().OverwriteAnswer, expectedAnswer);
    QCOMPARE(RunState::instance().OverwriteForAll, forAll);
}

void tst_frmOW::messageNamesOnlyTheFile_data()
{
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<QString>("shownName");

    QTest::newRow("top level") << "a.txt"
                               << "a.txt";
    QTest::newRow("nested") << "docs/2024/report final.pdf"
                            << "report final.pdf";
    QTest::newRow("backslash belongs to the name") << "dir/odd\\name.txt"
                                                   << "odd\\name.txt";
    QTest::newRow("markup-like name") << "dir/<b>bold&amp;.txt"
                                      << "<b>bold&amp;.txt";
}

void tst_frmOW::messageNamesOnlyTheFile()
{
    QFETCH(QString, entryName);
    QFETCH(QString, shownName);

    const QString expected =
        "The file \"" + shownName + "\" already exists in the destination folder. What do you wish to do?";
    QCOMPARE(frmOW::OverwriteMessage(entryName), expected);

    frmOW dlg;
    dlg.setMessage(entryName);
    auto* label = dlg.findChild<QLabel*>("Label1");
    QVERIFY(label);
    QCOMPARE(label->text(), expected);
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

QTEST_MAIN(tst_frmOW)
#include "tst_frmOW.moc"
