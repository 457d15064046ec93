#include "core/archive/ArchiveHandle.h"
#include "core/archive/UnrarApi.h"
#include "platform/Utf8Locale.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>

// Names cross the library as narrow text in the C library's character set,
// whatever locale the environment names.
class tst_UnrarApi : public QObject
{
    Q_OBJECT

private slots:
    void utf8NamesCrossTheBoundary_data()
    {
        QTest::addColumn<QByteArray>("locale"); // the environment's; empty: the plain C locale, left as it is
        QTest::newRow("C") << QByteArray("C");
        QTest::newRow("already UTF-8") << QByteArray("C.UTF-8");
        QTest::newRow("not installed") << QByteArray("xx_XX.ISO-8859-1");
        // Guards the rows above: without the switch, names come out of the library mangled.
        QTest::newRow("not switched") << QByteArray();
    }

    void utf8NamesCrossTheBoundary()
    {
        QFETCH(QByteArray, locale);
        const QString entry = QStringLiteral("表だよ/新しいフォルダ/新規テキスト ドキュメント.txt");
        QTemporaryDir dir;
        const QString archive = dir.filePath("архив ü 日本.rar"), folder = dir.filePath("zíel 目的");
        QVERIFY(QFile::copy(ZORVANE_FIXTURES "/rar4/unicode.rar", archive) && QDir().mkpath(folder));
        qputenv("LC_ALL", locale);
        QVERIFY(locale.isEmpty() ? std::setlocale(LC_ALL, "C") != nullptr : Utf8Locale::ensure());

        // The archive and folder names go in, the entry names come out, as narrow text.
        QByteArray name = archive.toUtf8(), destination = folder.toUtf8();
        RAROpenArchiveData data{};
        data.ArcName = name.data();
        data.OpenMode = RAR_OM_EXTRACT;
        ArchiveHandle handle(RAROpenArchive(&data));
        QVERIFY(handle && data.OpenResult == ERAR_SUCCESS);
        QStringList names;
        RARHeaderDataEx header{};
        while (RARReadHeaderEx(handle.get(), &header) == ERAR_SUCCESS) {
            names << QString::fromUtf8(header.FileName);
            if (RARProcessFile(handle.get(), RAR_EXTRACT, destination.data(), nullptr) != ERAR_SUCCESS)
                break;
        }
        Utf8Locale::ensure();

        QVERIFY2(names.size() > 1, qPrintable(names.join(u'|')));
        QCOMPARE(names.contains(entry), !locale.isEmpty());
        QCOMPARE(QFileInfo(folder + u'/' + entry).isFile(), !locale.isEmpty());
    }
};

QTEST_APPLESS_MAIN(tst_UnrarApi)
#include "tst_UnrarApi.moc"
