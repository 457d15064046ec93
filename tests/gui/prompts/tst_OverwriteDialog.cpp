#include "gui/prompts/OverwriteDialog.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

// The question is whole on screen for any name at the usual font sizes: the
// label's text fits its rectangle, and nothing below is covered by it.
class tst_OverwriteDialog : public QObject
{
    Q_OBJECT

private slots:
    void wholeQuestion_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("entry");
        const QStringList entries{"a.txt",
                                  "docs/" + QString(34, 'n') + ".txt",
                                  "LibarchiveAddingTestWithAVeryLongName_v2_final.html",
                                  "a name with many blanks that wraps over several lines of the label.txt",
                                  QString(400, 'x'),
                                  "日本語のとても長いファイル名日本語のとても長いファイル名日本語の長い名前.txt"};
        for (int points = 9; points <= 14; ++points) {
            for (const QString& entry : entries)
                QTest::addRow("%dpt %s", points, qPrintable(entry.left(20))) << points << entry;
        }
    }

    void wholeQuestion()
    {
        QFETCH(int, points);
        QFETCH(QString, entry);
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
        OverwriteDialog prompt;
        prompt.setMessage(entry);
        prompt.show();
        QVERIFY(QTest::qWaitForWindowExposed(&prompt));
        const auto* label = prompt.findChild<QLabel*>("Label1");
        const QRect room = label->contentsRect();
        const QRect needed =
            label->fontMetrics().boundingRect(room, Qt::TextWordWrap | label->alignment(), label->text());
        QCOMPARE(room | needed, room); // the text fits
        QVERIFY(label->text().endsWith("already exists in the destination folder. What do you wish to do?"));
        // Nothing overlaps the question, and everything stays inside the window.
        for (const char* name : {"Check1", "Command1", "Command2", "Command3"}) {
            const QWidget* below = prompt.findChild<QWidget*>(name);
            QVERIFY2(below->geometry().top() >= label->geometry().bottom() && prompt.rect().contains(below->geometry()),
                     name);
        }
        // A name cut to fit is shown whole in the tool tip.
        const bool cut = !label->text().contains('"' + entry.section('/', -1) + '"');
        QCOMPARE(label->toolTip(), cut ? entry : QString());
        QVERIFY(!cut || label->text().contains(QChar(0x2026)));
    }
};

QTEST_MAIN(tst_OverwriteDialog)
#include "tst_OverwriteDialog.moc"
