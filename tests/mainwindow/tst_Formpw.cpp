#include "mainwindow/Formpw.h"
#include "settings/modRecentList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

const QString Section = QStringLiteral("Saved Passwords");
const QString Missing = QStringLiteral("<missing>");

CRegSettings store()
{
    CRegSettings settings;
    settings.setCompany(QStringLiteral("Quenmarsh"));
    settings.setAppName(QStringLiteral("Zorvane"));
    return settings;
}

void seed(const QStringList& arrstrSaved)
{
    CRegSettings settings = store();
    for (int i = 0; i < arrstrSaved.size(); ++i)
        QVERIFY(settings.SaveSetting(Section, QString::number(i), arrstrSaved.at(i)));
    if (!arrstrSaved.isEmpty())
        QVERIFY(settings.SaveSetting(Section, "Number", QString::number(arrstrSaved.size())));
}

QByteArray settingsBytes()
{
    QFile file(store().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

QStringList listOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// Runs userAction on the window once its modal loop is running. A window the
// action leaves open is closed here so that a failing test cannot hang.
void answerPrompt(Formpw& dlg, const std::function<void(QWidget*)>& userAction)
{
    QWidget* window = nullptr;
    bool blnLeftOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
        window = QApplication::activeModalWidget();
        if (window == &dlg && QTest::qWaitForWindowActive(window))
            userAction(window);
        blnLeftOpen = dlg.isVisible();
        if (blnLeftOpen)
            dlg.done(QDialog::Rejected);
    });
    dlg.exec();
    QCOMPARE(window, static_cast<QWidget*>(&dlg));
    QVERIFY(!blnLeftOpen);
}

void click(QWidget* window, const char* name)
{
    auto* button = window->findChild<QAbstractButton*>(name);
    QVERIFY2(button, name);
    // A check box reacts only to clicks on its box or its text, not on the
    // empty rest of its row.
    const QPoint point =
        qobject_cast<QCheckBox*>(button) ? QPoint(button->height() / 2, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, point);
}

void typePassword(QWidget* window, const QString& strPassword)
{
    auto* combo = window->findChild<QComboBox*>("Text1");
    QVERIFY(combo && combo->lineEdit());
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(combo->lineEdit(), strPassword);
}

} // namespace

class tst_Formpw : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void okUpdatesTheSavedList_data();
    void okUpdatesTheSavedList();
    void storeIsLeftAlone_data();
    void storeIsLeftAlone();
    void emptyPasswordKeepsTheWindowOpen();
    void loadingToleratesOddValues_data();
    void loadingToleratesOddValues();

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

void tst_Formpw::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
}

void tst_Formpw::okUpdatesTheSavedList_data()
{
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("expectedKeys");
    QTest::addColumn<int>("expectedNumber");

    QStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty.append(QString("pw%1").arg(i));

    QTest::newRow("first save") << QStringList{} << "secret"
                                << "typed" << QStringList{"secret"} << 1;
    QTest::newRow("known one moves up") << QStringList{"A", "B", "C"} << "B"
                                        << "picked" << QStringList{"B", "A", "C"} << 3;
    QTest::newRow("new one shifts the rest") << QStringList{"A", "B", "C"} << "D"
                                             << "typed" << QStringList{"D", "A", "B", "C"} << 4;
    QTest::newRow("new one confirmed with Enter") << QStringList{"A", "B", "C"} << "D"
                                                  << "typed, Enter" << QStringList{"D", "A", "B", "C"} << 4;
    QTest::newRow("letter case differs") << QStringList{"secret"} << "SECRET"
                                         << "typed" << QStringList{"SECRET", "secret"} << 2;
    QTest::newRow("letter case differs, Enter") << QStringList{"secret"} << "Secret"
                                                << "typed, Enter" << QStringList{"Secret", "secret"} << 2;
    QTest::newRow("prefix of a saved one") << QStringList{"abcdef"} << "abc"
                                           << "typed" << QStringList{"abc", "abcdef"} << 2;
    QTest::newRow("new one on a full list") << twenty << "new"
                                            << "typed" << (QStringList{"new"} + twenty) << 20;
    QTest::newRow("oldest of a full list") << twenty << "pw19"
                                           << "picked" << (QStringList{"pw19"} + twenty.mid(0, 19)) << 20;
}

void tst_Formpw::okUpdatesTheSavedList()
{
    QFETCH(QStringList, saved);
    QFETCH(QString, password);
    QFETCH(QString, entry);
    QFETCH(QStringList, expectedKeys);
    QFETCH(int, expectedNumber);

    seed(saved);
    Formpw dlg;
    answerPrompt(dlg, [&](QWidget* window) {
        auto* combo = window->findChild<QComboBox*>("Text1");
        QCOMPARE(listOf(combo), saved);
        click(window, "chksave");
        if (entry == "picked")
            combo->setCurrentIndex(combo->findText(password));
        else
            typePassword(window, password);
        if (entry.endsWith("Enter"))
            QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        else
            click(window, "Command1");
    });

    QCOMPARE(dlg.pword, password);
    QVERIFY(!dlg.ufa);
    QVERIFY(!dlg.Cancel);
    const CRegSettings settings = store();
    QCOMPARE(settings.GetSetting(Section, "Number"), QString::number(expectedNumber));
    for (int i = 0; i < expectedKeys.size(); ++i)
        QCOMPARE(settings.GetSetting(Section, QString::number(i), Missing), expectedKeys.at(i));
    QCOMPARE(settings.GetSetting(Section, QString::number(expectedKeys.size()), Missing), Missing);

    // The next prompt offers exactly the counted passwords, most recent first.
    Formpw next;
    QCOMPARE(listOf(next.findChild<QComboBox*>("Text1")), expectedKeys.mid(0, expectedNumber));
}

void tst_Formpw::storeIsLeftAlone_data()
{
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<bool>("tickSave");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expectedPassword");

    const QStringList abc{"A", "B", "C"};
    QTest::newRow("OK unticked, nothing saved") << QStringList{} << false << "Command1"
                                                << "B";
    QTest::newRow("OK unticked, matches a saved one") << abc << false << "Command1"
                                                      << "B";
    QTest::newRow("Enter is OK") << abc << false << "Enter"
                                 << "B";
    QTest::newRow("Cancel") << abc << true << "Command2"
                            << "";
    QTest::newRow("Escape is Cancel") << abc << true << "Escape"
                                      << "";
    QTest::newRow("close box is Cancel") << abc << true << "close"
                                         << "";
}

void tst_Formpw::storeIsLeftAlone()
{
    QFETCH(QStringList, saved);
    QFETCH(bool, tickSave);
    QFETCH(QString, action);
    QFETCH(QString, expectedPassword);

    seed(saved);
    const QByteArray before = settingsBytes();
    Formpw dlg;
    answerPrompt(dlg, [&](QWidget* window) {
        typePassword(window, "B");
        if (tickSave)
            click(window, "chksave");
        click(window, "Check1");
        auto* edit = window->findChild<QComboBox*>("Text1")->lineEdit();
        if (action == "Enter")
            QTest::keyClick(edit, Qt::Key_Return);
        else if (action == "Escape")
            QTest::keyClick(edit, Qt::Key_Escape);
        else if (action == "close")
            window->close();
        else
            click(window, action.toLatin1().constData());
    });

    const bool blnCancelled = expectedPassword.isEmpty();
    QCOMPARE(dlg.pword, expectedPassword);
    QCOMPARE(dlg.Cancel, blnCancelled);
    QCOMPARE(dlg.ufa, !blnCancelled);
    QCOMPARE(settingsBytes(), before);
}

void tst_Formpw::emptyPasswordKeepsTheWindowOpen()
{
    seed({"A", "B", "C"});
    Formpw dlg;
    answerPrompt(dlg, [&](QWidget* window) {
        auto* combo = window->findChild<QComboBox*>("Text1");
        QCOMPARE(combo->currentText(), QString());

        QString strText, strTitle;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, window, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            strText = box->text();
            strTitle = box->windowTitle();
            icon = box->icon();
            QCOMPARE(box->buttons().size(), 1);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        click(window, "Command1");

        QCOMPARE(strText, QString("Please enter a password."));
        QCOMPARE(strTitle, QString("No Password Entered"));
        QCOMPARE(icon, QMessageBox::Information);
        QVERIFY(window->isVisible());
        // The window gets the keyboard back when it is active again; which of its
        // controls then holds the focus is what the user sees.
        QCOMPARE(window->focusWidget(), static_cast<QWidget*>(combo));
        QCOMPARE(listOf(combo), (QStringList{"A", "B", "C"}));

        // The list is still the loaded one, so a save now counts all of it.
        typePassword(window, "D");
        click(window, "chksave");
        click(window, "Command1");
    });

    QCOMPARE(dlg.pword, QString("D"));
    const CRegSettings settings = store();
    QCOMPARE(settings.GetSetting(Section, "Number"), QString("4"));
    QCOMPARE(modRecentList::Load(settings, "Saved Passwords"), (QStringList{"D", "A", "B", "C"}));
}

void tst_Formpw::loadingToleratesOddValues_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("not a number") << "many" << QStringList{};
    QTest::newRow("padded") << " 2 " << QStringList{"A", "B"};
    QTest::newRow("more than stored") << "4" << QStringList{"A", "B", "C", ""};
}

void tst_Formpw::loadingToleratesOddValues()
{
    QFETCH(QString, number);
    QFETCH(QStringList, expected);

    seed({"A", "B", "C"});
    CRegSettings settings = store();
    QVERIFY(settings.SaveSetting(Section, "Number", number));
    QCOMPARE(modRecentList::Load(settings, "Saved Passwords"), expected);
}

QTEST_MAIN(tst_Formpw)
#include "tst_Formpw.moc"
