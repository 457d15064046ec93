#include "gui/about/TipsDialog.h"
#include "platform/AppPaths.h"
#include "support/PromptScript.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QTemporaryDir>

class tst_TipsDialog : public QObject
{
    Q_OBJECT

    static void writeTips(const QByteArray& content)
    {
        QFile file(AppPaths::programFolder() + "ZorvaneTips.txt");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }

    QTemporaryDir m_tmp;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.filePath("config"))); }
    void cleanup() { QFile::remove(AppPaths::programFolder() + "ZorvaneTips.txt"); }

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
    }

    // The tips' family only when the machine has it; otherwise the default font
    // as it is, size and weight included, rather than a stand-in for the family.
    void tipFont_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("family");
        QTest::newRow("installed") << QStringList{"DejaVu Sans", "Comic Sans MS"} << "Comic Sans MS";
        QTest::newRow("spelt in other letter case") << QStringList{"comic sans ms"} << "comic sans ms";
        QTest::newRow("only look-alikes") << QStringList{"Comic Neue", "Comic Sans"} << "Default Sans";
        QTest::newRow("nothing installed") << QStringList() << "Default Sans";
    }

    void tipFont()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, family);
        const QFont defaultFont("Default Sans", 13, QFont::DemiBold);
        const QFont font = TipsDialog::tipFont(defaultFont, installed);
        QCOMPARE(font.families(), QStringList{family});
        QCOMPARE(font.pointSize(), 13);
        QCOMPARE(font.weight(), QFont::DemiBold);
    }

    // The label asks only for a family this machine has, and gets it.
    void labelFontIsInstalled()
    {
        const QStringList installed = QFontDatabase::families();
        const bool comic = installed.contains("Comic Sans MS");
        TipsDialog window;
        const QFont font = window.findChild<QLabel*>("lblTipText")->font();
        const QFont desktop = QApplication::font();
        QCOMPARE(font.families(), comic ? QStringList{"Comic Sans MS"} : desktop.families());
        QCOMPARE(QFontInfo(font).family(), comic ? QString("Comic Sans MS") : QFontInfo(desktop).family());
        QVERIFY(installed.contains(QFontInfo(font).family()));
        QCOMPARE(font.pointSizeF(), desktop.pointSizeF());
    }

    // Any stored number but 0 shows ticked; only OK stores it; opened again, the next tip shows.
    void storesTheCheckBoxOnlyOnOk()
    {
        SettingsStore settings;
        settings.setCompany("Quenmarsh");
        settings.setAppName("Zorvane");
        QVERIFY(settings.setValue("General", "No Instructions", "2"));
        writeTips("one\ntwo\n");
        TipsDialog window;
        QStringList seen;
        for (const char* how : {"Command1", "Escape"}) {
            PromptScript script; // a new one for each opening of the same window
            script.then([&, how](QWidget* w) {
                seen << w->findChild<QLabel*>("lblTipText")->text() + ':' +
                            QString::number(w->findChild<QCheckBox*>("Check1")->isChecked());
                PromptScript::tick(w, "Check1", !w->findChild<QCheckBox*>("Check1")->isChecked());
                PromptScript::leave(w, how);
            });
            window.showTips();
            seen << settings.value("General", "No Instructions");
        }
        QCOMPARE(seen, QStringList({"one:1", "0", "two:0", "0"}));
    }
};

QTEST_MAIN(tst_TipsDialog)
#include "tst_TipsDialog.moc"
