#include "core/archive/ArchiveSession.h"
#include "core/archive/RunState.h"
#include "core/archive/UnrarApi.h"
#include "core/archive/UnrarCallback.h"
#include "gui/prompts/DialogPrompts.h"
#include "support/PromptScript.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fixture(const QString& name)
{
    return QDir(ZORVANE_FIXTURES).filePath(name);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// Every file, folder and link below root with what it holds, for comparing trees.
QStringList tree(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(root).relativeFilePath(info.filePath());
        QFile file(info.filePath());
        if (info.isSymLink())
            out << name + " -> " + info.symLinkTarget().section(u'/', -1);
        else if (info.isDir())
            out << name + u'/';
        else if (file.open(QIODevice::ReadOnly))
            out << name + u' ' + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();
    }
    out.sort();
    return out;
}

} // namespace

class tst_ArchiveSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void extractsEveryFixture_data();
    void extractsEveryFixture();
    void progressClimbsOneStepPerEvent();
    void runs_data();
    void runs();
    void linkedFolderIsTheUsersChoice();
    void existingFiles_data();
    void existingFiles();
    void whatIsAtTheEntrysPlace_data();
    void whatIsAtTheEntrysPlace();
    void linksExtractedTwice();
    void stalledArchiveKeepsTheWindowServed();
    void overwritePromptShowsNamesSafely();
    void skippedFileIsPassedOverInItsNextVolume();
    void missingVolumeFoundElsewhere();
    void listingAndTesting();
    void passwordFitsTheLibrarysBuffer();

private:
    void attach(ArchiveSession& session);
    bool extract(const QString& archive, PromptScript& script);
    QStringList only(const QString& pattern) const { return m_lines.filter(QRegularExpression(u'^' + pattern)); }

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_out;
    QStringList m_lines;   // the session's events
    QString m_replacement; // the answer when a volume is missing
    RunState m_run;
    QList<double> m_progress;
};

void tst_ArchiveSession::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    m_out = m_tmp->filePath("out");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath("config")));
    m_run = RunState{};
    m_lines.clear();
    m_progress.clear();
    m_replacement.clear();
}

// Records the session's events, going on at a volume change as the main window does.
void tst_ArchiveSession::attach(ArchiveSession& s)
{
    const auto error = [this](const char* kind) {
        return [this, kind](qint32& code, QString& message, QString& file) {
            m_lines << QStringLiteral("%1 %2 %3 | %4").arg(kind).arg(code).arg(message, file.section(u'/', -1));
        };
    };
    const auto mark = [this](const char* line) { return [this, line] { m_lines << line; }; };
    connect(&s, &ArchiveSession::openError, this, error("openError"));
    connect(&s, &ArchiveSession::processError, this, error("processError"));
    connect(&s, &ArchiveSession::commentError, this, error("commentError"));
    connect(&s, &ArchiveSession::commentFound, this,
            [this](QString&, QString& text) { m_lines << "commentFound " + text; });
    connect(&s, &ArchiveSession::processingFile, this,
            [this](QString& name, double& size, QDateTime&, qint16&, qint16&, qint32&, qint32&) {
                m_lines << QStringLiteral("processingFile %1 %2").arg(name).arg(size, 0, 'f', 0);
            });
    connect(&s, &ArchiveSession::nextVolume, this, [this](QString& volume, bool& goOn) {
        m_lines << "nextVolume " + volume.section(u'/', -1);
        goOn = true;
    });
    connect(&s, &ArchiveSession::missingFile, this, [this](QString& volume, QString& answer) {
        m_lines << "missingFile " + volume.section(u'/', -1);
        answer = m_replacement;
    });
    connect(&s, &ArchiveSession::progress, this,
            [this](double& size, double& done) { m_progress << done / size * 100; });
    connect(&s, &ArchiveSession::missingPassword, this, mark("missingPassword"));
    connect(&s, &ArchiveSession::cancelled, this, mark("cancelled"));
    connect(&s, &ArchiveSession::emptyPassword, this, mark("emptyPassword"));
    connect(&s, &ArchiveSession::fileSkipped, this, mark("fileSkipped"));
    connect(&s, &ArchiveSession::passwordAccepted, this, mark("passwordAccepted"));
}

bool tst_ArchiveSession::extract(const QString& archive, PromptScript& script)
{
    DialogPrompts prompts;
    ArchiveSession session(prompts, m_run);
    attach(session);
    return session.extractArchive(fixture(archive)) && !script.unexpected;
}

void tst_ArchiveSession::extractsEveryFixture_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("source"); // original files, or empty to compare with unrar's result

    const auto row = [](const char* name, const char* archive, const char* password, const char* source) {
        QTest::newRow(name) << QString(archive) << QString(password) << QString(source);
    };
    row("nested folders, empty folder", "nested.rar", "", ""); // git keeps no empty folder in src/nested
    row("non-ASCII names", "unicode5.rar", "", "src/unicode");
    row("three volumes", "span.part1.rar", "", "src/span");
    row("encrypted headers", "enc-header.rar", "secret", "src/plain");
    row("RAR4 with a link", "rar4/basic.rar", "", "");
    row("RAR4 six volumes", "rar4/multivol.part1.rar", "", "");
    row("RAR4 solid encrypted", "rar4/solid-enc.rar", "password", "");
}

void tst_ArchiveSession::extractsEveryFixture()
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
        QProcess::execute(
            "unrar", {"x", "-idq", "-p" + (password.isEmpty() ? "-" : password), fixture(archive), reference + u'/'});
    const QStringList expected = tree(source.isEmpty() ? reference : fixture(source));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(tree(m_out), expected);
}

// big.rar unpacks 12 MB in small blocks, so every 4 % step is passed by its own block.
void tst_ArchiveSession::progressClimbsOneStepPerEvent()
{
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    QVERIFY(extract("big.rar", script));
    QCOMPARE(m_progress.size(), 24);
    for (int i = 0; i < 24; ++i)
        QVERIFY(m_progress[i] > 4 * (i + 1) && m_progress[i] <= 100.0);
    QCOMPARE(QFileInfo(m_out + "/big.txt").size(), 12000000);
}

void tst_ArchiveSession::runs_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QStringList>("answers"); // "Formpw PASSWORD" or "Form2 FOLDER [each]"; no text: cancelled
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("written"); // what is left below the scratch folder

    const auto row = [](const char* name, const char* archive, const QStringList& answers, bool result,
                        const QStringList& events, const char* written) {
        QTest::newRow(name) << archive << answers << result << events << written;
    };
    const QStringList folder{"Form2 out"};
    row("comment", "comment.rar", folder, true,
        {"commentFound Zorvane test comment\nsecond line\n", "nextVolume comment.rar", "processingFile a.txt 17"},
        "out/ out/a.txt");
    row("comment over the buffer", "bigcomment.rar", folder, true,
        {"commentError 20 Buffer too small, comments not completely read | bigcomment.rar", "nextVolume bigcomment.rar",
         "processingFile a.txt 17"},
        "out/ out/a.txt");
    row("size over 4 GiB", "hostile/r5-8gib.rar", folder, true,
        {"nextVolume r5-8gib.rar", "processingFile 8gib.bin 8589934592", "processingFile ok.txt 3"},
        "out/ out/8gib.bin out/ok.txt");
    const QString wrong = "processError %1 CRC error - Wrong password? | %2";
    row("data, wrong password", "enc-data.rar", {"Formpw Secret", "Form2 out"}, false,
        {"nextVolume enc-data.rar", "processingFile a.txt 17", wrong.arg(24).arg("a.txt")}, "out/");
    row("password prompt cancelled", "enc-data.rar", {"Formpw"}, false, {"emptyPassword"}, "");
    row("headers, wrong password", "enc-header.rar", {"Formpw nope"}, false, {wrong.arg(24).arg("enc-header.rar")}, "");
    row("RAR4 headers, wrong password", "rar4/enc-header.rar", {"Formpw nope"}, false,
        {wrong.arg(12).arg("enc-header.rar")}, "");
    row("RAR4 first entry encrypted", "rar4/enc-partial.rar", {"Formpw 12345678", "Form2 out"}, true,
        {"nextVolume enc-partial.rar", "processingFile foo.txt 16", "processingFile bar.txt 16"},
        "out/ out/bar.txt out/foo.txt");
    // Only b.txt and d.txt are encrypted, each with its own password: the library asks midway.
    const QStringList mixed{"nextVolume enc-mixed.rar", "processingFile a.txt 18", "processingFile b.txt 18",
                            "missingPassword"};
    row("password asked midway", "rar4/enc-mixed.rar", {"Form2 out", "Formpw password"}, false,
        mixed + QStringList{"passwordAccepted", "processingFile c.txt 18", "processingFile d.txt 18",
                            wrong.arg(12).arg("d.txt")},
        "out/ out/a.txt out/b.txt out/c.txt");
    row("password asked midway, cancelled", "rar4/enc-mixed.rar", {"Form2 out", "Formpw"}, false,
        mixed + QStringList{"emptyPassword", "processError 5003 No password supplied | b.txt"}, "out/ out/a.txt");
    row("not an archive", "notarchive.rar", {}, false, {"openError 13 File is not a RAR archive | notarchive.rar"}, "");
    // The library crashes opening this one; the program must not go with it.
    row("library crash", "hostile/r5-metadata-noname.rar", {}, false,
        {"openError 5006 The archive makes the UnRAR library crash; it was not opened | r5-metadata-noname.rar"}, "");
    row("no entries", "empty.rar", folder, false, {"nextVolume empty.rar"}, "out/");
    row("damaged data", "damaged.rar", folder, false,
        {"nextVolume damaged.rar", "processingFile a.txt 17", "processingFile b.txt 90000",
         "processError 12 CRC error | b.txt"},
        "out/ out/a.txt");
    // The set is cut between its files: the next header is never found, which
    // ends the archive like its end, after the missing volume was reported.
    row("missing volume between files", "boundary.part1.rar", folder, true,
        {"nextVolume boundary.part1.rar", "processingFile first.bin 50000", "missingFile boundary.part2.rar"},
        "out/ out/first.bin");
    row("missing volume", "lost.part1.rar", folder, false,
        {"nextVolume lost.part1.rar", "processingFile lost.bin 100000", "missingFile lost.part2.rar",
         "processError 15 Volume open error | lost.bin"},
        "out/");
    // A file over three volumes is one entry. Only the last dot is cut from the archive's name.
    row("three volumes, folder per archive", "span.part1.rar", {"Form2 out each"}, true,
        {"nextVolume span.part1.rar", "processingFile span.bin 150000", "nextVolume span.part2.rar",
         "nextVolume span.part3.rar"},
        "out/ out/span.part1/ out/span.part1/span.bin");
    row("folder prompt cancelled", "plain.rar", {"Form2"}, false, {"cancelled"}, "");
    row("folder's parent is not made", "plain.rar", {"Form2 missing/out"}, false,
        {"processError 16 File creation error | "}, "");
}

void tst_ArchiveSession::runs()
{
    QFETCH(QString, archive);
    QFETCH(QStringList, answers);
    QFETCH(bool, result);
    QFETCH(QStringList, events);
    QFETCH(QString, written);
    PromptScript script;
    QStringList prompts;
    for (const QString& answer : answers) {
        const QString text = answer.section(u' ', 1, 1);
        prompts << answer.section(u' ', 0, 0);
        if (prompts.last() == u"Form2")
            script.then(text.isEmpty()
                            ? PromptScript::press("cmdCancel")
                            : PromptScript::chooseFolder(m_tmp->filePath(text), true, answer.endsWith("each")));
        else
            script.then(text.isEmpty() ? PromptScript::press("Command2") : PromptScript::password(text));
    }
    QCOMPARE(extract(archive, script), result);
    QCOMPARE(script.seen, prompts);
    QCOMPARE(m_lines, events);
    const QStringList left = tree(m_tmp->path()).filter(QRegularExpression("^(?!config)"));
    QCOMPARE(left.join(u' ').remove(QRegularExpression(" [0-9a-f]{32}")), written);
}
// The chosen folder may be reached through a link; links below it still stop entries.
void tst_ArchiveSession::linkedFolderIsTheUsersChoice()
{
    const QString real = m_tmp->filePath("real");
    QVERIFY(QDir().mkpath(real) && QFile::link(real, m_out) && QFile::link("../outside", real + "/link"));
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    QVERIFY(extract("hostile/r5-preset-dirlink.rar", script));
    QCOMPARE(only("processError"),
             QStringList{"processError 5004 Left out: it would reach outside the extract folder | zh-preset.txt"});
    QVERIFY(QFile::exists(real + "/ok.txt"));
}

void tst_ArchiveSession::existingFiles_data()
{
    QTest::addColumn<QString>("how"); // a button, a key or the close box
    QTest::addColumn<bool>("forAll");
    QTest::addColumn<int>("prompts");
    QTest::addColumn<bool>("kept"); // both old files

    QTest::newRow("overwrite each") << "Command1" << false << 2 << false;
    QTest::newRow("skip for all") << "Command2" << true << 1 << true;
    QTest::newRow("Enter overwrites for all") << "Enter" << true << 1 << false;
    QTest::newRow("Escape cancels at the first") << "Escape" << false << 1 << true;
    QTest::newRow("close box alone overwrites") << "close" << false << 2 << false;
}

void tst_ArchiveSession::existingFiles()
{
    QFETCH(QString, how);
    QFETCH(bool, forAll);
    QFETCH(int, prompts);
    QFETCH(bool, kept);

    QVERIFY(writeFile(m_out + "/a.txt", "old") && writeFile(m_out + "/b.txt", "old"));
    const QByteArray pressed = how.toLatin1();
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    for (int i = 0; i < prompts; ++i)
        script.then(PromptScript::overwrite(pressed.constData(), forAll));
    QCOMPARE(extract("plain.rar", script), how != "Escape");
    QCOMPARE(script.seen.count("frmOW"), prompts);
    QCOMPARE(QFileInfo(m_out + "/a.txt").size() + QFileInfo(m_out + "/b.txt").size(), kept ? 6 : 17 + 90000);
    QCOMPARE(only("fileSkipped").size(), how == "Command2" ? 2 : 0);

    // The next archive asks again: "for all" lasts one archive.
    script.then(PromptScript::overwrite("Command2"));
    m_run.useFolderForAll = true;
    extract("comment.rar", script);
    QCOMPARE(script.seen.count("frmOW"), prompts + 1);
}

// What the user already has where plain.rar's a.txt goes: a link there is an
// existing file, replaced itself on Overwrite and never written through; a
// pipe or device is never handed to the library; a file with a second name
// outside is replaced, not changed.
void tst_ArchiveSession::whatIsAtTheEntrysPlace_data()
{
    QTest::addColumn<QString>("present"); // link, hardlink, fifo
    QTest::addColumn<QString>("answer");  // the overwrite prompt's button; empty: not asked
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<bool>("replaced"); // a.txt now holds the archive's file

    const QString refused = "processError %1 %2 | a.txt";
    QTest::newRow("link, overwrite") << "link"
                                     << "Command1" << QStringList{} << true;
    QTest::newRow("link, skip") << "link"
                                << "Command2" << QStringList{} << false;
    QTest::newRow("hard link, overwrite") << "hardlink"
                                          << "Command1" << QStringList{} << true;
    QTest::newRow("pipe") << "fifo"
                          << ""
                          << QStringList{refused.arg(5009).arg(
                                 "Left out: a pipe, socket or device of that name is in the extract folder")}
                          << false;
}

void tst_ArchiveSession::whatIsAtTheEntrysPlace()
{
    QFETCH(QString, present);
    QFETCH(QString, answer);
    QFETCH(QStringList, errors);
    QFETCH(bool, replaced);

    const QString outside = m_tmp->filePath("outside.txt"), place = m_out + "/a.txt";
    QVERIFY(writeFile(outside, "the user's own file") && QDir().mkpath(m_out));
    if (present == "link")
        QVERIFY(QFile::link("../outside.txt", place));
    else if (present == "hardlink")
        QCOMPARE(::link(QFile::encodeName(outside), QFile::encodeName(place)), 0);
    else if (present == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(place), 0600), 0);
    m_run.extractFolder = m_out;
    m_run.useFolderForAll = true;
    const QByteArray button = answer.toLatin1();
    PromptScript script;
    if (!answer.isEmpty())
        script.then(PromptScript::overwrite(button.constData()));

    QVERIFY(extract("plain.rar", script));
    QCOMPARE(script.seen.size(), answer.isEmpty() ? 0 : 1);
    QCOMPARE(only("processError"), errors);
    QFile file(outside);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("the user's own file"));
    const QFileInfo now(place);
    QCOMPARE(now.isSymLink(), present == "link" && !replaced);
    if (replaced)
        QCOMPARE(now.size(), 17);
    QCOMPARE(QFileInfo(m_out + "/b.txt").size(), 90000); // the archive goes on
}

// The second extraction of test.txt and testlink -> test.txt into the same
// folder asks about both and makes the link again.
void tst_ArchiveSession::linksExtractedTwice()
{
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    QVERIFY(extract("rar4/basic.rar", script));
    const QStringList first = tree(m_out);
    m_lines.clear();
    m_run.useFolderForAll = true;
    script.then(PromptScript::overwrite("Command1")).then(PromptScript::overwrite("Command1"));
    script.then(PromptScript::overwrite("Command1"));
    QVERIFY(extract("rar4/basic.rar", script));
    QCOMPARE(only("processError"), QStringList{});
    QCOMPARE(script.seen, (QStringList{"Form2", "frmOW", "frmOW", "frmOW"}));
    QCOMPARE(tree(m_out), first);
    QVERIFY(QFileInfo(m_out + "/testlink").isSymLink());
}

// An archive on a stalled path (a pipe nobody writes stands in for a hung
// network share): the window is served while the library is waited for, and
// the time-out is told apart from a crash.
void tst_ArchiveSession::stalledArchiveKeepsTheWindowServed()
{
    const QString stalled = m_tmp->filePath("stalled.rar");
    QCOMPARE(::mkfifo(QFile::encodeName(stalled), 0600), 0);
    int ticks = 0;
    QTimer clock;
    connect(&clock, &QTimer::timeout, this, [&ticks] { ++ticks; });
    clock.start(50);
    DialogPrompts prompts;
    ArchiveSession session(prompts, m_run);
    session.setProbeLimit(std::chrono::milliseconds(1000));
    attach(session);
    QVERIFY(!session.extractArchive(stalled));
    QCOMPARE(m_lines, QStringList{"openError 5008 The UnRAR library did not answer within 20 seconds; it was not "
                                  "opened | stalled.rar"});
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
}

// Names come from the archive: the prompt shows the last part only, as plain
// text, with control and direction characters spelled out.
void tst_ArchiveSession::overwritePromptShowsNamesSafely()
{
    for (const char* name : {"ctl-\x01\x02.txt", "rlo-\u202Etxt.exe", "\x07../zh-bel-dotdot.txt"})
        QVERIFY(writeFile(m_out + u'/' + QString::fromUtf8(name), "old"));
    QStringList shown;
    const auto skip = [&shown](QWidget* prompt) {
        const auto* label = prompt->findChild<QLabel*>("Label1");
        shown << (label->textFormat() == Qt::PlainText ? label->text().section(u'"', 1, 1) : "rich text");
        PromptScript::click(prompt, "Command2");
    };
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out)).then(skip).then(skip).then(skip);
    QVERIFY(extract("hostile/r5-control.rar", script));
    QCOMPARE(shown, (QStringList{"ctl-\\x01\\x02.txt", "rlo-\\u202Etxt.exe", "zh-bel-dotdot.txt"}));
}

void tst_ArchiveSession::skippedFileIsPassedOverInItsNextVolume()
{
    // The first file runs over volumes 1 to 3, the second over 3 to 6.
    QVERIFY(writeFile(m_out + "/LibarchiveAddingTest2.html", "keep me"));
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out)).then(PromptScript::overwrite("Command2"));
    QVERIFY(extract("rar4/multivol.part1.rar", script));
    QCOMPARE(script.seen, (QStringList{"Form2", "frmOW"}));
    QCOMPARE(only("processingFile"), (QStringList{"processingFile LibarchiveAddingTest2.html 20111",
                                                  "processingFile LibarchiveAddingTest.html 20111"}));
    QCOMPARE(QFileInfo(m_out + "/LibarchiveAddingTest2.html").size(), 7);
    QCOMPARE(QFileInfo(m_out + "/LibarchiveAddingTest.html").size(), 20111);
}

// The user points at the last volume, kept elsewhere under another name, and the set goes on.
void tst_ArchiveSession::missingVolumeFoundElsewhere()
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
void tst_ArchiveSession::listingAndTesting()
{
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    DialogPrompts prompts;
    ArchiveSession session(prompts, m_run);
    attach(session);
    QStringList one{"keep"}, two(2), tooFew(2);
    QVERIFY(!session.listArchive(fixture("plain.rar"), one)); // a list of one place is refused
    QVERIFY(session.listArchive(fixture("plain.rar"), two) && !session.listArchive(fixture("nested.rar"), tooFew));
    QVERIFY(session.testArchive(fixture("span.part1.rar")) && !session.testArchive(fixture("damaged.rar")));
    QCOMPARE(one + two + tooFew, (QStringList{"keep", "a.txt", "b.txt", "readme.txt", "docs/a/b/deep.txt"}));
    QCOMPARE(only("processError").size(), 3);
    QVERIFY(QDir(m_out).isEmpty() && !script.unexpected);
}

// The library's buffer for the password: never written past, no character cut in two.
void tst_ArchiveSession::passwordFitsTheLibrarysBuffer()
{
    DialogPrompts prompts;
    ArchiveSession session(prompts, m_run);
    PromptScript script;
    script.then(PromptScript::password("abcdefé")); // 8 bytes; the buffer holds 7 and the NUL
    QByteArray buffer(12, 'X');
    QCOMPARE(UnrarCallback::handle(UCM_NEEDPASSWORD, UnrarCallback::userDataFor(&session), long(buffer.data()), 8), 1);
    QCOMPARE(buffer, QByteArray("abcdef\0XXXXX", 12));
}

QTEST_MAIN(tst_ArchiveSession)
#include "tst_ArchiveSession.moc"
