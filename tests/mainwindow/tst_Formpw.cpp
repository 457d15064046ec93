#include "mainwindow/Formpw.h"
#include "settings/CRegSettings.h"
#include "support/PromptScript.h"

#include <QTemporaryDir>
#include <memory>

namespace {

const QString Section = QStringLiteral("Saved Passwords");

void seed(const QStringList& saved)
{
    CRegSettings settings;
    for (int i = 0; i < saved.size(); ++i)
        QVERIFY(settings.SaveSetting(Section, QString::number(i), saved.at(i)));
    QVERIFY(settings.SaveSetting(Section, "Number", QString::number(saved.size())));
}

QByteArray storeBytes()
{
    QFile file(CRegSettings().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_Formpw : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void tickedBoxSavesThePassword_data();
    void tickedBoxSavesThePassword();
    void answerWithoutSaving_data();
    void answerWithoutSaving();
    void emptyPasswordKeepsTheWindowOpen();

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

void tst_Formpw::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
}

void tst_Formpw::tickedBoxSavesThePassword_data()
{
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("keys"); // "0", "1", … after OK
    QTest::addColumn<int>("number");

    QStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty.append(QString("pw%1").arg(i));
    QTest::newRow("first save") << QStringList{} << "secret"
                                << "Command1" << QStringList{"secret"} << 1;
    QTest::newRow("full list stays at 20") << twenty << "new"
                                           << "Command1" << QStringList{"new"} + twenty << 20;
    // The saved list must neither complete nor replace what was typed.
    QTest::newRow("other letter case, Enter") << QStringList{"secret"} << "Secret"
                                              << "Enter" << QStringList{"Secret", "secret"} << 2;
    QTest::newRow("prefix of a saved one") << QStringList{"abcdef"} << "abc"
                                           << "Command1" << QStringList{"abc", "abcdef"} << 2;
}

void tst_Formpw::tickedBoxSavesThePassword()
{
    QFETCH(QStringList, saved);
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QStringList, keys);
    QFETCH(int, number);
    seed(saved);

    Formpw dlg;
    PromptScript script;
    script.then([&](QWidget* w) {
        PromptScript::tick(w, "chksave", true);
        PromptScript::type(w, "Text1", typed);
        PromptScript::leave(w, how);
    });
    dlg.exec();
    QCOMPARE(dlg.pword, typed);
    const CRegSettings settings;
    QCOMPARE(settings.GetSetting(Section, "Number"), QString::number(number));
    for (int i = 0; i <= keys.size(); ++i)
        QCOMPARE(settings.GetSetting(Section, QString::number(i), "<missing>"), keys.value(i, "<missing>"));
}

void tst_Formpw::answerWithoutSaving_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK, save box clear") << "Command1";
    QTest::newRow("Cancel") << "Command2";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("close box") << "close";
}

// Both boxes are ticked unless the answer is OK, so only the box keeps OK from
// saving and only leaving keeps the others from saving and from "for all".
void tst_Formpw::answerWithoutSaving()
{
    QFETCH(QString, how);
    const bool ok = how == u"Command1";
    seed({"A", "B", "C"});
    const QByteArray before = storeBytes();

    Formpw dlg;
    PromptScript script;
    script.then([&](QWidget* w) {
        PromptScript::tick(w, "chksave", !ok);
        PromptScript::tick(w, "Check1", true);
        PromptScript::type(w, "Text1", "B");
        PromptScript::leave(w, how);
    });
    dlg.exec();
    QCOMPARE(dlg.pword, ok ? "B" : "");
    QCOMPARE(dlg.Cancel, !ok);
    QCOMPARE(dlg.ufa, ok);
    QCOMPARE(storeBytes(), before);
}

void tst_Formpw::emptyPasswordKeepsTheWindowOpen()
{
    Formpw dlg;
    PromptScript script;
    script.then([](QWidget* w) {
        PromptScript::click(w, "Command1");
        QVERIFY(w->isVisible());
        PromptScript::type(w, "Text1", "D");
        PromptScript::click(w, "Command1");
    });
    script.then([](QWidget* box) { PromptScript::leave(box, "Enter"); });
    dlg.exec();
    QCOMPARE(script.seen, (QStringList{"Formpw", "QMessageBox"}));
    QCOMPARE(dlg.pword, QString("D"));
}

QTEST_MAIN(tst_Formpw)
#include "tst_Formpw.moc"
