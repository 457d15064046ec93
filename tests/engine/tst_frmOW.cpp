#include "engine/RunState.h"
#include "engine/frmOW.h"
#include "support/PromptScript.h"

#include <QLabel>

class tst_frmOW : public QObject
{
    Q_OBJECT

private slots:
    void closingRecordsTheAnswer_data();
    void closingRecordsTheAnswer();
    void messageShowsOnlyTheFileName();
};

void tst_frmOW::closingRecordsTheAnswer_data()
{
    QTest::addColumn<QString>("how"); // a button, a key or the close box
    QTest::addColumn<bool>("forAll");
    QTest::addColumn<QString>("answer");

    // The buttons themselves answer in the session's tests.
    QTest::newRow("Enter is Overwrite") << "Enter" << true << "ow";
    QTest::newRow("Escape is Cancel") << "Escape" << false << "cancel";
    QTest::newRow("close box gives no answer") << "close" << true << "";
}

void tst_frmOW::closingRecordsTheAnswer()
{
    QFETCH(QString, how);
    QFETCH(bool, forAll);
    QFETCH(QString, answer);
    // As the session leaves it before asking, but with "for all" opposite to what must be recorded.
    RunState::instance().OverwriteAnswer.clear();
    RunState::instance().OverwriteForAll = !forAll;

    frmOW dlg;
    PromptScript script;
    const QByteArray button = how.toLatin1();
    script.then(PromptScript::overwrite(button.constData(), forAll));
    dlg.exec();
    QCOMPARE(RunState::instance().OverwriteAnswer, answer);
    QCOMPARE(RunState::instance().OverwriteForAll, forAll);
}

// Entry names come from the archive: only the part after the last "/" shows, as plain text.
void tst_frmOW::messageShowsOnlyTheFileName()
{
    frmOW dlg;
    dlg.setMessage("docs/2024/odd\\<b>name&amp;.txt");
    const QLabel* label = dlg.findChild<QLabel*>("Label1");
    QVERIFY(label && label->textFormat() == Qt::PlainText);
    QCOMPARE(label->text(), "The file \"odd\\<b>name&amp;.txt\" already exists in the destination folder. "
                            "What do you wish to do?");
}

QTEST_MAIN(tst_frmOW)
#include "tst_frmOW.moc"
