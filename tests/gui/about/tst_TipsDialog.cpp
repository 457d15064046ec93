#include "gui/about/TipsDialog.h"
#include "platform/AppPaths.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QFontDatabase>
#include <QLabel>

class tst_TipsDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    const QString m_tips = AppPaths::programFolder() + "ZorvaneTips.txt";

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.filePath("config"))); }
    void cleanup() { QFile::remove(m_tips); }

    void showsTipsInFileOrder_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no tips file
        QTest::addColumn<QStringList>("shown");  // on opening, then after each Next Tip
        dataRow("three lines", QByteArray("one\ntwo\nthree\n"), QStringList{"one", "two", "three", "one"});
        dataRow("empty line, no final line ending", QByteArray("one\n\nx"), QStringList{"one", "", "x"});
        dataRow("byte-order mark, CR LF", QByteArray("\xEF\xBB\xBFGrüße\r\ntwo\r\n"),
                QStringList{"Grüße", "two", "Grüße"});
        dataRow("missing file", QByteArray(),
                QStringList{"ZorvaneTips.txt file was not found. \r\n\r\nCreate a text file "
                            "named ZorvaneTips.txt using a text editor with 1 tip per "
                            "line. Then place it in the same directory as the application. "});
    }

    // The label asks only for a family this machine has (see tipFont), at the desktop's size.
    void showsTipsInFileOrder()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, shown);
        if (!content.isNull())
            writeFile(m_tips, content);
        TipsDialog window;
        QStringList seen;
        PromptScript script;
        script.then([&](QWidget* w) {
            for (int i = 0; i < shown.size(); ++i) {
                if (i > 0)
                    PromptScript::click(w, "cmdNextTip");
                seen << w->findChild<QLabel*>("lblTipText")->text();
            }
            PromptScript::leave(w, "Escape");
        });
        window.showTips();
        QCOMPARE(seen, shown);
        const QFont font = window.findChild<QLabel*>("lblTipText")->font();
        QCOMPARE(font, TipsDialog::tipFont(QApplication::font(), QFontDatabase::families()));
    }

    // The tips' family only when the machine has it; otherwise the default font
    // as it is, size and weight included, rather than a stand-in for the family.
    void tipFont_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("family");
        dataRow("installed", QStringList{"DejaVu Sans", "Comic Sans MS"}, "Comic Sans MS");
        dataRow("spelt in other letter case", QStringList{"comic sans ms"}, "comic sans ms");
        dataRow("only look-alikes", QStringList{"Comic Neue", "Comic Sans"}, "Default Sans");
    }

    void tipFont()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, family);
        const QFont font = TipsDialog::tipFont(QFont("Default Sans", 13, QFont::DemiBold), installed);
        QCOMPARE(font.families(), QStringList{family});
        QCOMPARE(font.pointSize(), 13);
        QCOMPARE(font.weight(), QFont::DemiBold);
    }

    // Any stored number but 0 shows ticked; only OK stores it; opened again, the next tip shows.
    void storesTheCheckBoxOnlyOnOk()
    {
        SettingsStore settings;
        QVERIFY(settings.setValue("General", "No Instructions", "2"));
        writeFile(m_tips, "one\ntwo\n");
        TipsDialog window;
        QStringList seen;
        for (const char* how : {"Command1", "Escape", "Command1"}) {
            PromptScript script; // a new one for each opening of the same window
            script.then([&, how](QWidget* w) {
                auto* box = w->findChild<QCheckBox*>("Check1");
                seen << w->findChild<QLabel*>("lblTipText")->text() + ':' + QString::number(box->isChecked());
                PromptScript::tick(w, "Check1", !box->isChecked());
                PromptScript::leave(w, how);
            });
            window.showTips();
            seen << settings.value("General", "No Instructions");
        }
        QCOMPARE(seen, QStringList({"one:1", "0", "two:0", "0", "one:0", "1"}));
    }
};

QTEST_MAIN(tst_TipsDialog)
#include "tst_TipsDialog.moc"
