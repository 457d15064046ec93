#include "auxwindows/frmSplash.h"
#include "settings/modAppPaths.h"
#include "support/PromptScript.h"

#include <QLabel>
#include <QTemporaryDir>

class tst_frmSplash : public QObject
{
    Q_OBJECT

    static void writeTips(const QByteArray& content)
    {
        QFile file(modAppPaths::ProgramFolder() + "ZorvaneTips.txt");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }

    QTemporaryDir m_tmp;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.filePath("config"))); }
    void cleanup() { QFile::remove(modAppPaths::ProgramFolder() + "ZorvaneTips.txt"); }

    void showsTipsInFileOrder_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no tips file
        QTest::addColumn<QStringList>("shown");  // on opening, then after each Next Tip
        QTest::newRow("three lines") << QByteArray("one\ntwo\nthree\n") << QStringList{"one", "two", "three", "one"};
        QTest::newRow("empty line, no final line ending") << QByteArray("one\n\nx") << QStringList{"one", "", "x"};
        QTest::newRow("byte-order mark, CR LF")
            << QByteArray("\xEF\xBB\xBFGrüße\r\ntwo\r\n") << QStringList{"Grüße", "two", "Grüße"};
        QTest::newRow("missing file") << QByteArray()
                                      << QStringList{"ZorvaneTips.txt file was not found. \r\n\r\nCreate a text file "
                                                     "named ZorvaneTips.txt using a text editor with 1 tip per line. "
                                                     "Then place it in the same directory as the application. "};
    }

    void showsTipsInFileOrder()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, shown);
        if (!content.isNull())
            writeTips(content);
        frmSplash window;
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
        window.Open();
        QCOMPARE(seen, shown);
    }

    // Any stored number but 0 shows ticked; only OK stores it; opened again, the next tip shows.
    void storesTheCheckBoxOnlyOnOk()
    {
        CRegSettings settings;
        settings.setCompany("Quenmarsh");
        settings.setAppName("Zorvane");
        QVERIFY(settings.SaveSetting("General", "No Instructions", "2"));
        writeTips("one\ntwo\n");
        frmSplash window;
        QStringList seen;
        for (const char* how : {"Command1", "Escape"}) {
            PromptScript script; // a new one for each opening of the same window
            script.then([&, how](QWidget* w) {
                seen << w->findChild<QLabel*>("lblTipText")->text() + ':' +
                            QString::number(w->findChild<QCheckBox*>("Check1")->isChecked());
                PromptScript::tick(w, "Check1", !w->findChild<QCheckBox*>("Check1")->isChecked());
                PromptScript::leave(w, how);
            });
            window.Open();
            seen << settings.GetSetting("General", "No Instructions");
        }
        QCOMPARE(seen, QStringList({"one:1", "0", "two:0", "0"}));
    }
};

QTEST_MAIN(tst_frmSplash)
#include "tst_frmSplash.moc"
