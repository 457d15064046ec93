#include "settings/SettingsDocument.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Characters that stress the file syntax: separators, quoting, escapes,
// comments, blanks, line breaks, controls and multi-byte text.
const QStringList Alphabet =
    QString("ab Z09\"\\=[];#@\t\n\r\x01\x7f\u00e9\u65e5x").split(QString(), Qt::SkipEmptyParts) +
    QStringList{"\U0001F600"};

QString randomText(QRandomGenerator& rng, int maxLength)
{
    QString s;
    for (int length = rng.bounded(maxLength + 1); s.size() < length;)
        s += Alphabet.at(rng.bounded(Alphabet.size()));
    return s;
}

QString randomPath(QRandomGenerator& rng)
{
    QStringList levels;
    const int depth = rng.bounded(3);
    for (int i = 0; i < depth; ++i) {
        QString level = randomText(rng, 6).remove(u'\\');
        levels.append(level.isEmpty() ? QStringLiteral("L") : level);
    }
    return levels.join(u'\\');
}

} // namespace

class tst_SettingsDocument : public QObject
{
    Q_OBJECT

private slots:
    void randomTreesSurviveTheFile();
    void plainTextStaysReadable();
    void linesBeforeAnyHeaderBelongToTheApplicationKey();
};

void tst_SettingsDocument::randomTreesSurviveTheFile()
{
    QRandomGenerator rng(20261205);
    for (int round = 0; round < 300; ++round) {
        SettingsDocument doc;
        QList<std::tuple<QString, QString, QString>> expected;
        for (int i = 0; i < 6; ++i) {
            const QString path = randomPath(rng);
            const QString name = randomText(rng, 8);
            const QString text = randomText(rng, 20);
            SettingsDocument::setValue(doc.ensureKey(path), name, text);
            expected.removeIf([&](const auto& e) {
                return std::get<0>(e).compare(path, Qt::CaseInsensitive) == 0 &&
                       std::get<1>(e).compare(name, Qt::CaseInsensitive) == 0;
            });
            expected.append({path, name, text});
        }
        const QByteArray bytes = doc.serialize();
        const SettingsDocument back = SettingsDocument::parse(bytes);
        for (const auto& [path, name, text] : expected) {
            const SettingsDocument::Key* key = back.findKey(path);
            QVERIFY2(key, bytes.constData());
            const SettingsDocument::Value* value = SettingsDocument::findValue(*key, name);
            QVERIFY2(value, bytes.constData());
            QCOMPARE(value->text, text);
        }
        QCOMPARE(back.serialize(), bytes);
    }
}

void tst_SettingsDocument::plainTextStaysReadable()
{
    SettingsDocument doc;
    SettingsDocument::setValue(doc.ensureKey("Options"), "Default Extract Folder", "Last used");
    SettingsDocument::setValue(doc.ensureKey("Odd]Name"), "", "default");
    SettingsDocument::setValue(doc.ensureKey("Odd]Name"), "path", R"(C:\x\)");
    QCOMPARE(doc.serialize(), QByteArray("[Options]\nDefault Extract Folder=Last used\n\n"
                                         "[\"Odd]Name\"]\n@=default\npath=C:\\x\\\n"));
}

void tst_SettingsDocument::linesBeforeAnyHeaderBelongToTheApplicationKey()
{
    const SettingsDocument doc = SettingsDocument::parse("Top=1\n[Sub]\nInner=2\n");
    const SettingsDocument::Key* top = doc.findKey("");
    QVERIFY(top);
    QVERIFY(SettingsDocument::findValue(*top, "Top"));
    QVERIFY(!SettingsDocument::findValue(*top, "Inner"));
    QCOMPARE(doc.subkeys(""), QStringList{"Sub"});
}

QTEST_APPLESS_MAIN(tst_SettingsDocument)
#include "tst_SettingsDocument.moc"
