#include "auxwindows/frmSplash.h"
#include "mainwindow/modArtwork.h"
#include "settings/modAppPaths.h"
#include "support/PromptScript.h"

#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString MissingText =
    "ZorvaneTips.txt file was not found. \r\n\r\nCreate a text file named ZorvaneTips.txt using "
    "NotePad with 1 tip per line. Then place it in the same directory as the application. ";

QString tipsPath()
{
    return modAppPaths::ProgramFolder() + "ZorvaneTips.txt";
}

void writeTips(const QByteArray& content)
{
    QFile file(tipsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// Opens the window once and notes the tip shown at first and after each of
// `clicks` clicks on Next Tip, then leaves it with Escape.
QStringList browse(frmSplash& window, int clicks)
{
    QStringList shown;
    PromptScript script;
    script.then([&](QWidget* w) {
        const auto* label = w->findChild<QLabel*>("lblTipText");
        shown << label->text();
        for (int i = 0; i < clicks; ++i) {
            PromptScript::click(w, "cmdNextTip");
            shown << label->text();
        }
        PromptScript::leave(w, "Escape");
    });
    window.Open();
    return shown;
}

} // namespace

class tst_frmSplash : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
        QFile::remove(tipsPath());
    }

    void cleanup() { QFile::remove(tipsPath()); }

    void showsTipsInFileOrder_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no tips file
        QTest::addColumn<QStringList>("shown");  // on opening, then after each Next Tip

        QTest::newRow("three lines") << QByteArray("one\ntwo\nthree\n") << QStringList{"one", "two", "three", "one"};
        QTest::newRow("empty line, no final line ending")
            << QByteArray("one\n\nthree") << QStringList{"one", "", "three", "one"};
        QTest::newRow("CR LF endings") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two", "one"};
        QTest::newRow("UTF-8 text") << QByteArray("Grüße\nzwei\n") << QStringList{"Grüße", "zwei"};
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFone\n") << QStringList{"one", "one"};
        QTest::newRow("empty file") << QByteArray("") << QStringList{"", ""};
        QTest::newRow("missing file") << QByteArray() << QStringList{MissingText, MissingText};
    }

    void showsTipsInFileOrder()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, shown);

        if (!content.isNull())
            writeTips(content);
        frmSplash window;
        QCOMPARE(browse(window, shown.size() - 1), shown);
    }

    void goesOnAfterTheLastTipWhenOpenedAgain()
    {
        writeTips("one\ntwo\nthree\n");
        frmSplash window;
        QCOMPARE(browse(window, 1), (QStringList{"one", "two"}));
        QCOMPARE(browse(window, 4), (QStringList{"three", "one", "two", "three", "one"}));
        QCOMPARE(window.colTips, (QStringList{"one", "two", "three", "one", "two", "three"}));
    }

    void storesTheCheckBoxOnlyOnOk_data()
    {
        QTest::addColumn<QString>("stored"); // null: nothing stored
        QTest::addColumn<bool>("tickedAtLoad");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("after"); // "none": still nothing stored

        QTest::newRow("OK ticked") << QString() << false << "Command1" << true << "1";
        QTest::newRow("OK unticked") << "1" << true << "Command1" << false << "0";
        QTest::newRow("OK on another number") << "2" << true << "Command1" << true << "1";
        QTest::newRow("Escape after ticking") << "0" << false << "Escape" << true << "0";
        QTest::newRow("close box after unticking") << "1" << true << "close" << false << "1";
        QTest::newRow("Escape with nothing stored") << QString() << false << "Escape" << true << "none";
    }

    void storesTheCheckBoxOnlyOnOk()
    {
        QFETCH(QString, stored);
        QFETCH(bool, tickedAtLoad);
        QFETCH(QString, how);
        QFETCH(bool, tick);
        QFETCH(QString, after);

        CRegSettings settings;
        settings.setCompany("Quenmarsh");
        settings.setAppName("Zorvane");
        if (!stored.isNull())
            QVERIFY(settings.SaveSetting("General", "No Instructions", stored));
        writeTips("tip\n");
        frmSplash window;
        bool ticked = !tickedAtLoad;
        PromptScript script;
        script.then([&](QWidget* w) {
            ticked = w->findChild<QCheckBox*>("Check1")->isChecked();
            PromptScript::tick(w, "Check1", tick);
            PromptScript::leave(w, how);
        });
        window.Open();
        QCOMPARE(ticked, tickedAtLoad);
        QCOMPARE(settings.GetSetting("General", "No Instructions", "none"), after);
    }

    void animatesWhileOpen()
    {
        writeTips("tip\n");
        frmSplash window;
        PromptScript script;
        script.then([&](QWidget* w) {
            const auto picture = [w] { return w->findChild<QLabel*>("Picture1")->pixmap().toImage(); };
            const QImage first = modArtwork::TipsFrame(1, w->devicePixelRatioF()).toImage();
            const QImage second = modArtwork::TipsFrame(2, w->devicePixelRatioF()).toImage();
            QVERIFY(first != second);
            QTRY_COMPARE(picture(), second);
            QCOMPARE(window.lngFrame, 2);
            QTRY_COMPARE(picture(), first);
            QCOMPARE(window.lngFrame, 1);
            PromptScript::leave(w, "Command1");
        });
        window.Open();
        QCOMPARE(script.seen, QStringList{"frmSplash"});
        QVERIFY(!window.findChild<QTimer*>("Timer1")->isActive());
    }
};

QTEST_MAIN(tst_frmSplash)
#include "tst_frmSplash.moc"
