#include "core/archive/ArchiveSession.h"
#include "core/archive/RunState.h"
#include "core/archive/UnrarApi.h"
#include "core/archive/UnrarCallback.h"
#include "gui/prompts/DialogPrompts.h"
#include "support/DataRow.h"
#include "support/PromptScript.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QProcess>
#include <sys/stat.h>

class tst_ArchiveSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_out;
    QStringList m_lines;   // the session's events
    QString m_replacement; // the answer when a volume is missing
    QList<double> m_progress;
    RunState m_run;
    DialogPrompts m_prompts;
    std::unique_ptr<ArchiveSession> m_session; // one per case, as one serves a whole run

    static QString fixture(const QString& name) { return QDir(ZORVANE_FIXTURES).filePath(name); }

    bool extract(const QString& archive, const PromptScript& script)
    {
        return m_session->extractArchive(fixture(archive)) && !script.unexpected;
    }

private slots:
    // The session's events are recorded; it goes on at a volume change as the main window does.
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_out = m_tmp->filePath("out");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
        m_run = RunState{};
        m_lines.clear();
        m_progress.clear();
        m_replacement.clear();
        m_session = std::make_unique<ArchiveSession>(m_prompts, m_run);
        ArchiveSession* s = m_session.get();
        const auto error = [this](const char* kind) {
            return [this, kind](qint32& code, QString& message, QString& file) {
                m_lines << QStringLiteral("%1 %2 %3 | %4").arg(kind).arg(code).arg(message, file.section(u'/', -1));
            };
        };
        const auto mark = [this](const char* line) { return [this, line] { m_lines << line; }; };
        connect(s, &ArchiveSession::openError, this, error("openError"));
        connect(s, &ArchiveSession::processError, this, error("processError"));
        connect(s, &ArchiveSession::commentError, this, error("commentError"));
        connect(s, &ArchiveSession::commentFound, this,
                [this](QString&, QString& text) { m_lines << "commentFound " + text; });
        connect(s, &ArchiveSession::processingFile, this, [this](QString& name, double& size) {
            m_lines << QStringLiteral("processingFile %1 %2").arg(name).arg(size, 0, 'f', 0);
        });
        connect(s, &ArchiveSession::nextVolume, this, [this](QString& volume, bool& goOn) {
            m_lines << "nextVolume " + volume.section(u'/', -1);
            goOn = true;
        });
        connect(s, &ArchiveSession::missingFile, this, [this](QString& volume, QString& answer) {
            m_lines << "missingFile " + volume.section(u'/', -1);
            answer = m_replacement;
        });
        connect(s, &ArchiveSession::progress, this,
                [this](double& size, double& done) { m_progress << done / size * 100; });
        connect(s, &ArchiveSession::missingPassword, this, mark("missingPassword"));
        connect(s, &ArchiveSession::cancelled, this, mark("cancelled"));
        connect(s, &ArchiveSession::emptyPassword, this, mark("emptyPassword"));
        connect(s, &ArchiveSession::fileSkipped, this, mark("fileSkipped"));
        connect(s, &ArchiveSession::passwordAccepted, this, mark("passwordAccepted"));
    }

    // Progress comes once per 4 % step of a file, each event past its step; a
    // small file's single block passes every step at once.
    void extractsEveryFixture_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("source"); // original files, or empty to compare with unrar's result
        QTest::addColumn<int>("steps");      // progress events
        dataRow("nested folders, empty folder", "nested.rar", "", "", 2); // git keeps no empty folder in src/nested
        dataRow("non-ASCII names", "unicode5.rar", "", "src/unicode", 3);
        dataRow("RAR4 with a link", "rar4/basic.rar", "", "", 2);
        dataRow("RAR4 solid encrypted", "rar4/solid-enc.rar", "password", "", 4);
        // 12 MB unpacked in small blocks, so every step is passed by its own block.
        dataRow("big", "big.rar", "", "", 24);
    }

    void extractsEveryFixture()
    {
        QFETCH(QString, archive);
        QFETCH(QString, password);
        QFETCH(QString, source);
        PromptScript script;
        if (!password.isEmpty())
            script.then(PromptScript::password(password));
        script.then(PromptScript::chooseFolder(m_out));
        QVERIFY(extract(archive, script));
        const QString reference = m_tmp->filePath("reference");
        if (source.isEmpty())
            QProcess::execute("unrar", {"x", "-idq", "-p" + (password.isEmpty() ? "-" : password), fixture(archive),
                                        reference + u'/'});
        const QStringList expected = tree(source.isEmpty() ? reference : fixture(source));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(tree(m_out), expected);
        QTEST(int(m_progress.size()), "steps");
        for (int i = 0; i < m_progress.size(); ++i)
            QVERIFY(m_progress[i] > 4 * (i + 1) && m_progress[i] <= 100.0);
    }

    void runs_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QStringList>("answers"); // "Formpw PASSWORD" (none: cancelled) or "Form2 FOLDER [each]"
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("written"); // what is left below the scratch folder
        const QStringList folder{"Form2 out"}, none;
        dataRow("comment", "comment.rar", folder, true,
                QStringList{"commentFound Zorvane test comment\nsecond line\n", "nextVolume comment.rar",
                            "processingFile a.txt 17"},
                "out/ out/a.txt");
        dataRow("comment over the buffer", "bigcomment.rar", folder, true,
                QStringList{"commentError 20 Buffer too small, comments not completely read | bigcomment.rar",
                            "nextVolume bigcomment.rar", "processingFile a.txt 17"},
                "out/ out/a.txt");
        dataRow("size over 4 GiB", "hostile/r5-8gib.rar", folder, true,
                QStringList{"nextVolume r5-8gib.rar", "processingFile 8gib.bin 8589934592", "processingFile ok.txt 3"},
                "out/ out/8gib.bin out/ok.txt");
        const QString wrong = "processError %1 CRC error - Wrong password? | %2";
        dataRow("data, wrong password", "enc-data.rar", QStringList{"Formpw Secret", "Form2 out"}, false,
                QStringList{"nextVolume enc-data.rar", "processingFile a.txt 17", wrong.arg(24).arg("a.txt")}, "out/");
        dataRow("headers, wrong password", "enc-header.rar", QStringList{"Formpw nope"}, false,
                QStringList{wrong.arg(24).arg("enc-header.rar")}, "");
        dataRow("RAR4 headers, wrong password", "rar4/enc-header.rar", QStringList{"Formpw nope"}, false,
                QStringList{wrong.arg(12).arg("enc-header.rar")}, "");
        // Only b.txt and d.txt are encrypted, each with its own password: the library asks midway.
        const QStringList mixed{"nextVolume enc-mixed.rar", "processingFile a.txt 18", "processingFile b.txt 18",
                                "missingPassword"};
        dataRow("password asked midway", "rar4/enc-mixed.rar", QStringList{"Form2 out", "Formpw password"}, false,
                mixed + QStringList{"passwordAccepted", "processingFile c.txt 18", "processingFile d.txt 18",
                                    wrong.arg(12).arg("d.txt")},
                "out/ out/a.txt out/b.txt out/c.txt");
        dataRow("password asked midway, cancelled", "rar4/enc-mixed.rar", QStringList{"Form2 out", "Formpw"}, false,
                mixed + QStringList{"emptyPassword", "processError 5003 No password supplied | b.txt"},
                "out/ out/a.txt");
        dataRow("not an archive", "notarchive.rar", none, false,
                QStringList{"openError 13 File is not a RAR archive | notarchive.rar"}, "");
        // The library crashes opening this one; the program must not go with it.
        dataRow("library crash", "hostile/r5-metadata-noname.rar", none, false,
                QStringList{"openError 5006 The archive makes the UnRAR library crash; it was not opened | "
                            "r5-metadata-noname.rar"},
                "");
        dataRow("no entries", "empty.rar", folder, false, QStringList{"nextVolume empty.rar"}, "out/");
        dataRow("missing volume", "lost.part1.rar", folder, false,
                QStringList{"nextVolume lost.part1.rar", "processingFile lost.bin 100000", "missingFile lost.part2.rar",
                            "processError 15 Volume open error | lost.bin"},
                "out/");
        // A file over three volumes is one entry. Only the last dot is cut from the archive's name.
        dataRow("three volumes, folder per archive", "span.part1.rar", QStringList{"Form2 out each"}, true,
                QStringList{"nextVolume span.part1.rar", "processingFile span.bin 150000", "nextVolume span.part2.rar",
                            "nextVolume span.part3.rar"},
                "out/ out/span.part1/ out/span.part1/span.bin");
    }

    void runs()
    {
        QFETCH(QString, archive);
        QFETCH(QStringList, answers);
        PromptScript script;
        QStringList prompts;
        for (const QString& answer : answers) {
            const QString text = answer.section(u' ', 1, 1);
            prompts << answer.section(u' ', 0, 0);
            if (prompts.last() == u"Form2")
                script.then(PromptScript::chooseFolder(m_tmp->filePath(text), true, answer.endsWith("each")));
            else
                script.then(text.isEmpty() ? PromptScript::press("Command2") : PromptScript::password(text));
        }
        QTEST(extract(archive, script), "result");
        QCOMPARE(script.seen, prompts);
        QTEST(m_lines, "events");
        const QStringList left = tree(m_tmp->path()).filter(QRegularExpression("^(?!config)"));
        QTEST(left.join(u' ').remove(QRegularExpression(" [0-9a-f]{32}")), "written");
    }

    // What the user already has in the folder: each prompt names the file as
    // plain text, the last part only, with control and direction characters
    // spelled out; "for all" lasts one archive.
    void existingFiles_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QStringList>("present"); // files holding "old" in the folder
        QTest::addColumn<QString>("how");         // for every prompt: a button, a key or the close box
        QTest::addColumn<bool>("forAll");
        QTest::addColumn<QStringList>("shown"); // the name in each prompt
        QTest::addColumn<int>("kept");          // files still holding "old"
        QTest::addColumn<bool>("result");       // a cancel fails the archive only before anything was extracted
        const QStringList plain{"a.txt", "b.txt"}, first{"a.txt"}, second{"b.txt"};
        dataRow("overwrite each", "plain.rar", plain, "Command1", false, plain, 0, true);
        dataRow("skip for all", "plain.rar", plain, "Command2", true, first, 2, true);
        dataRow("Enter overwrites for all", "plain.rar", plain, "Enter", true, first, 0, true);
        dataRow("Escape cancels at the first", "plain.rar", plain, "Escape", false, first, 2, false);
        dataRow("Escape after a file was extracted", "plain.rar", second, "Escape", false, second, 1, true);
        dataRow("close box alone overwrites", "plain.rar", plain, "close", false, plain, 0, true);
        dataRow("close box with the tick overwrites for all", "plain.rar", plain, "close", true, first, 0, true);
        dataRow("names from the archive", "hostile/r5-control.rar",
                QStringList{"ctl-\x01\x02.txt", "rlo-\u202Etxt.exe", "\x07../zh-bel-dotdot.txt"}, "Command2", false,
                QStringList{"ctl-\\x01\\x02.txt", "rlo-\\u202Etxt.exe", "zh-bel-dotdot.txt"}, 3, true);
        // The first file runs over volumes 1 to 3, the second over 3 to 6.
        const QStringList html{"LibarchiveAddingTest2.html"};
        dataRow("skipped over its volumes", "rar4/multivol.part1.rar", html, "Command2", false, html, 1, true);
    }

    void existingFiles()
    {
        QFETCH(QString, archive);
        QFETCH(QStringList, present);
        QFETCH(QString, how);
        QFETCH(bool, forAll);
        QFETCH(QStringList, shown);
        QFETCH(int, kept);
        for (const QString& name : present)
            writeFile(m_out + u'/' + name, "old");
        QStringList names;
        PromptScript script;
        script.then(PromptScript::chooseFolder(m_out));
        for (int i = 0; i < shown.size(); ++i) {
            script.then([&](QWidget* prompt) {
                const auto* label = prompt->findChild<QLabel*>("Label1");
                names << (label->textFormat() == Qt::PlainText ? label->text().section(u'"', 1, 1) : "rich text");
                PromptScript::overwrite(qPrintable(how), forAll)(prompt);
            });
        }
        QTEST(extract(archive, script), "result");
        QCOMPARE(names, shown);
        QCOMPARE(std::count_if(present.begin(), present.end(),
                               [this](const QString& name) { return readFile(m_out + u'/' + name) == "old"; }),
                 kept);
        QCOMPARE(m_lines.count("fileSkipped"), how == "Command2" ? kept : 0);
        if (forAll) {
            script.then(PromptScript::overwrite("Command2"));
            m_run.useFolderForAll = true;
            extract("comment.rar", script);
            QCOMPARE(script.seen.count("frmOW"), shown.size() + 1);
        }
    }

    // An archive on a stalled path (a pipe nobody writes stands in for a hung
    // network share): the window is served while the library is waited for, and
    // the time-out is told apart from a crash.
    void stalledArchiveKeepsTheWindowServed()
    {
        const QString stalled = m_tmp->filePath("stalled.rar");
        QCOMPARE(::mkfifo(QFile::encodeName(stalled), 0600), 0);
        int ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, this, [&ticks] { ++ticks; });
        clock.start(50);
        m_session->setProbeLimit(std::chrono::milliseconds(1000));
        QVERIFY(!m_session->extractArchive(stalled));
        QCOMPARE(m_lines, QStringList{"openError 5008 The UnRAR library did not answer within 20 seconds; it was not "
                                      "opened | stalled.rar"});
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    }

    // The user points at the last volume, kept elsewhere under another name, and the set goes on.
    void missingVolumeFoundElsewhere()
    {
        QVERIFY(QFile::copy(fixture("span.part1.rar"), m_tmp->filePath("set.part1.rar")) &&
                QFile::copy(fixture("span.part2.rar"), m_tmp->filePath("set.part2.rar")));
        m_replacement = fixture("span.part3.rar");
        PromptScript script;
        script.then(PromptScript::chooseFolder(m_out));
        QVERIFY(extract(m_tmp->filePath("set.part1.rar"), script));
        QCOMPARE(m_lines,
                 (QStringList{"nextVolume set.part1.rar", "processingFile span.bin 150000", "nextVolume set.part2.rar",
                              "missingFile set.part3.rar", "nextVolume span.part3.rar"}));
        QCOMPARE(tree(m_out), tree(fixture("src/span")));
    }

    // Listing and testing write nothing in the folder.
    void listingAndTesting()
    {
        PromptScript script;
        script.then(PromptScript::chooseFolder(m_out));
        QStringList one{"keep"}, two(2), tooFew(2);
        QVERIFY(!m_session->listArchive(fixture("plain.rar"), one)); // a list of one place is refused
        QVERIFY(m_session->listArchive(fixture("plain.rar"), two) &&
                !m_session->listArchive(fixture("nested.rar"), tooFew));
        QVERIFY(m_session->testArchive(fixture("span.part1.rar")) && !m_session->testArchive(fixture("damaged.rar")));
        QCOMPARE(one + two + tooFew, (QStringList{"keep", "a.txt", "b.txt", "readme.txt", "docs/a/b/deep.txt"}));
        QCOMPARE(m_lines.filter(QRegularExpression("^processError")).size(), 3);
        QVERIFY(QDir(m_out).isEmpty() && !script.unexpected);
    }

    // The library's buffer for the password: never written past, no character cut in two.
    void passwordFitsTheLibrarysBuffer()
    {
        PromptScript script;
        script.then(PromptScript::password("abcdefé")); // 8 bytes; the buffer holds 7 and the NUL
        QByteArray buffer(12, 'X');
        QCOMPARE(UnrarCallback::handle(UCM_NEEDPASSWORD, UnrarCallback::userDataFor(m_session.get()),
                                       long(buffer.data()), 8),
                 1);
        QCOMPARE(buffer, QByteArray("abcdef\0XXXXX", 12));
    }
};

QTEST_MAIN(tst_ArchiveSession)
#include "tst_ArchiveSession.moc"
