#include "core/settings/RecentList.h"

#include <QTemporaryDir>
#include <QTest>

// Choosing and saving are driven through the extract-folder chooser's tests.
class tst_RecentList : public QObject
{
    Q_OBJECT

private slots:
    // A hand-edited count must not make a window read keys for ever; missing keys give empty entries.
    void absurdCountStopsAtAThousand()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        SettingsStore settings;
        settings.setValues("Extract Folders", {{"Number", " 2000000000 "}, {"1", "/second/"}});
        const QStringList entries = RecentList::load(settings, "Extract Folders");
        QCOMPARE(entries.size(), 1000);
        QCOMPARE(entries.mid(0, 3), (QStringList{"", "/second/", ""}));
    }
};

QTEST_GUILESS_MAIN(tst_RecentList)
#include "tst_RecentList.moc"
