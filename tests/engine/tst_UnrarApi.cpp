#include "engine/UnrarApi.h"
#include "settings/modLocale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <memory>

namespace {

const QString UnicodeEntry = QStringLiteral("表だよ/新しいフォルダ/新規テキスト ドキュメント.txt");

struct ArchiveCloser
{
    void operator()(void* handle) const { RARCloseArchive(handle); }
};
using ArchivePtr = std::unique_ptr<void, ArchiveCloser>;

struct Listing
{
    unsigned openResult = 0;
    QStringList names;
};

// Opens an archive by its UTF-8 path and lists its entry names as the library
// reports them in narrow text; with a destination, extracts every entry there.
Listing list(const QString& path, const QString& destination = QString())
{
    QByteArray name = path.toUtf8();
    QByteArray folder = destination.toUtf8();
    RAROpenArchiveData data{};
    data.ArcName = name.data();
    data.OpenMode = destination.isEmpty() ? RAR_OM_LIST : RAR_OM_EXTRACT;
    Listing result;
    ArchivePtr archive(RAROpenArchive(&data));
    result.openResult = data.OpenResult;
    if (!archive || data.OpenResult != ERAR_SUCCESS)
        return result;
    auto header = std::make_unique<RARHeaderDataEx>();
    while (RARReadHeaderEx(archive.get(), header.get()) == ERAR_SUCCESS) {
        result.names.append(QString::fromUtf8(header->FileName));
        const int operation = destination.isEmpty() ? RAR_SKIP : RAR_EXTRACT;
        if (RARProcessFile(archive.get(), operation, destination.isEmpty() ? nullptr : folder.data(), nullptr) !=
            ERAR_SUCCESS)
            break;
    }
    return result;
}

} // namespace

class tst_UnrarApi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void utf8NamesCrossTheBoundary_data();
    void utf8NamesCrossTheBoundary();
    void aPlainCLocaleWouldMangleNames();

private:
    QTemporaryDir m_dir;
    QString m_archive;
};

void tst_UnrarApi::init()
{
    QVERIFY(m_dir.isValid());
    m_archive = m_dir.filePath(QStringLiteral("архив ü 日本.rar"));
    QFile::remove(m_archive);
    QVERIFY(QFile::copy(QStringLiteral(ZORVANE_FIXTURES "/rar4/unicode.rar"), m_archive));
}

void tst_UnrarApi::utf8NamesCrossTheBoundary_data()
{
    QTest::addColumn<QByteArray>("environmentLocale");

    QTest::newRow("C") << QByteArray("C");
    QTest::newRow("already UTF-8") << QByteArray("C.UTF-8");
    QTest::newRow("not installed") << QByteArray("xx_XX.ISO-8859-1");
}

void tst_UnrarApi::utf8NamesCrossTheBoundary()
{
    QFETCH(QByteArray, environmentLocale);

    qputenv("LC_ALL", environmentLocale);
    QVERIFY(modLocale::EnsureUtf8Locale());

    const QString destination = m_dir.filePath(QStringLiteral("zíel 目的"));
    QVERIFY(QDir().mkpath(destination));
    const Listing listing = list(m_archive, destination);
    QCOMPARE(listing.openResult, unsigned(ERAR_SUCCESS));
    QVERIFY2(listing.names.contains(UnicodeEntry), qPrintable(listing.names.join(u'|')));
    QVERIFY(listing.names.contains(QStringLiteral("abcdefghijklmnopqrsテスト.txt")));
    QVERIFY(QFileInfo(destination + u'/' + UnicodeEntry).isFile());
}

// Guards the test above: without the switch, names the archive stores as
// Unicode come out of the library mangled.
void tst_UnrarApi::aPlainCLocaleWouldMangleNames()
{
    std::setlocale(LC_ALL, "C");
    const Listing listing = list(m_archive);
    modLocale::EnsureUtf8Locale();
    QCOMPARE(listing.openResult, unsigned(ERAR_SUCCESS));
    QVERIFY(!listing.names.contains(UnicodeEntry));
}

QTEST_APPLESS_MAIN(tst_UnrarApi)
#include "tst_UnrarApi.moc"
