#include "settings/CRegSettings.h"
#include "settings/modRecentList.h"

#include <QTemporaryDir>
#include <QTest>

class tst_modRecentList : public QObject
{
    Q_OBJECT

private slots:
    void choose_data();
    void choose();
    void loadToleratesOddCounts_data();
    void loadToleratesOddCounts();
    void absurdCountLoadsQuickly();
};

void tst_modRecentList::choose_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QStringList>("writes");

    // A new folder, a full list and another letter case show in the windows' tests.
    QTest::newRow("every copy moves up") << QStringList{"/x/", "/y/", "/x/", "/z/"} << "/x/" << 10
                                         << QStringList{"0=/x/", "1=/x/", "2=/y/", "3=/z/"};
    // A count above ten stored by another program is not capped: it keeps growing.
    QStringList twelve;
    QStringList pushed;
    for (int i = 0; i < 12; ++i) {
        twelve.append(QStringLiteral("/e%1/").arg(i));
        pushed.prepend(QStringLiteral("%1=/e%2/").arg(i + 1).arg(i));
    }
    QTest::newRow("above ten keeps growing") << twelve << "/n/" << 10 << pushed + QStringList{"0=/n/", "Number=13"};
}

void tst_modRecentList::choose()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, folder);
    QFETCH(int, capacity);
    QFETCH(QStringList, writes);

    QStringList actual;
    for (const modRecentList::KeyWrite& write : modRecentList::Choose(entries, folder, capacity))
        actual.append(write.key + u'=' + write.value);
    QCOMPARE(actual, writes);
}

void tst_modRecentList::loadToleratesOddCounts_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("not a number") << "many" << QStringList{};
    QTest::newRow("padded, more than stored") << " 4 " << QStringList{"A", "B", "C", ""};
}

void tst_modRecentList::loadToleratesOddCounts()
{
    QFETCH(QString, number);
    QFETCH(QStringList, entries);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    CRegSettings settings;
    settings.SaveSetting("Saved Passwords", "Number", number);
    for (int i = 0; i < 3; ++i)
        settings.SaveSetting("Saved Passwords", QString::number(i), QString(QChar(u'A' + i)));
    QCOMPARE(modRecentList::Load(settings, "Saved Passwords"), entries);
}

// A hand-edited count must not make a window read keys for ever.
void tst_modRecentList::absurdCountLoadsQuickly()
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    CRegSettings settings;
    settings.SaveSetting("Extract Folders", "Number", "2000000000");
    settings.SaveSetting("Extract Folders", "1", "/second/");

    const QStringList entries = modRecentList::Load(settings, "Extract Folders");
    QCOMPARE(entries.size(), 1000);
    QCOMPARE(entries.at(0), QString());
    QCOMPARE(entries.at(1), QString("/second/"));
}

QTEST_MAIN(tst_modRecentList)
#include "tst_modRecentList.moc"
