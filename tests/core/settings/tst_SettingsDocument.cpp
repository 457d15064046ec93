#include "core/settings/SettingsDocument.h"

#include <QRandomGenerator>
#include <QTest>

class tst_SettingsDocument : public QObject
{
    Q_OBJECT

private slots:
    // Random trees come back whole from their file, and write the same file again.
    void randomTreesSurviveTheFile()
    {
        // Separators, quoting, escapes, comments, blanks, line breaks, controls and multi-byte text.
        const QStringList alphabet =
            QString("ab Z09\"\\=[];#@\t\n\r\x01\x7f\u00e9\u65e5x").split(QString(), Qt::SkipEmptyParts) +
            QStringList{"\U0001F600"};
        QRandomGenerator rng(20261205);
        const auto random = [&](int maxLength) {
            QString s;
            for (int length = rng.bounded(maxLength + 1); s.size() < length;)
                s += alphabet.at(rng.bounded(alphabet.size()));
            return s;
        };
        for (int round = 0; round < 300; ++round) {
            SettingsDocument doc;
            // Keyed without letter case; paths of up to a few levels, none of them empty.
            QMap<QString, std::tuple<QString, QString, QString>> expected;
            for (int i = 0; i < 6; ++i) {
                const QString path = rng.bounded(3) ? u'L' + random(8).replace(u'\\', "\\L") : QString();
                const QString name = random(8), text = random(20);
                SettingsDocument::setValue(doc.ensureKey(path), name, text);
                expected.insert((path + QChar(0) + name).toCaseFolded(), {path, name, text});
            }
            const QByteArray bytes = doc.serialize();
            const SettingsDocument back = SettingsDocument::parse(bytes);
            for (const auto& [path, name, text] : std::as_const(expected)) {
                const SettingsDocument::Key* key = back.findKey(path);
                const SettingsDocument::Value* value = key ? SettingsDocument::findValue(*key, name) : nullptr;
                QVERIFY2(value && value->text == text, bytes.constData());
            }
            QCOMPARE(back.serialize(), bytes);
        }
    }

    // Lines above every header belong to the application key; unreadable ones are passed over.
    void handEditedFilesAreReadLeniently()
    {
        const SettingsDocument edited = SettingsDocument::parse(
            "Top=1\r\n[General\nNot=here\n[General]\n  Keep = yes  \r\njunk\n=x\nCut=\"unterminated\n[[]]\n");
        QVERIFY(SettingsDocument::findValue(*edited.findKey(""), "Top"));
        const SettingsDocument::Key* general = edited.findKey("General");
        QVERIFY(general && general->values.size() == 1);
        QCOMPARE(general->values.first().name + '=' + general->values.first().text, "Keep=yes");
    }
};

QTEST_APPLESS_MAIN(tst_SettingsDocument)
#include "tst_SettingsDocument.moc"
