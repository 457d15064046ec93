#include "engine/ArchiveSession.h"
#include "engine/RunState.h"
#include "support/PromptScript.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString fixture(const QString& name)
{
    return QStringLiteral(ZORVANE_FIXTURES "/") + name;
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
        if (info.isSymLink()) {
            out.append(name + QStringLiteral(" -> ") + info.symLinkTarget().section(u'/', -1));
        } else if (info.isDir()) {
            out.append(name + u'/');
        } else {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            out.append(name + u' ' + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
        }
    }
    out.sort();
    return out;
}

// The command-line unrar, built on the same library, as the reference for the
// archives whose original files we don't have.
QStringList referenceTree(const QString& archive, const QString& password, const QString& folder)
{
    QProcess unrar;
    unrar.start("unrar", {"x", "-idq", "-o+", "-p" + (password.isEmpty() ? "-" : password), archive, folder + u'/'});
    unrar.waitForFinished(60000);
    return tree(folder);
}

// Records the session's events as lines and answers them the way the main
// window will: go on at a volume change, keep the password it was given.
class EventLog : public QObject
{
public:
    QStringList lines;
    QList<double> progress;

    void attach(ArchiveSession& s)
    {
        const auto error = [this](const char* kind) {
            return [this, kind](qint32& code, QString& message, QString& file) {
                lines.append(QStringLiteral("%1 %2 %3 | %4").arg(kind).arg(code).arg(message, shortName(file)));
            };
        };
        connect(&s, &ArchiveSession::OpenError, this, error("OpenError"));
        connect(&s, &ArchiveSession::ProcessError, this, error("ProcessError"));
        connect(&s, &ArchiveSession::CommentError, this, error("CommentError"));
        connect(&s, &ArchiveSession::CommentFound, this,
                [this](QString&, QString& comment) { lines.append(QStringLiteral("CommentFound ") + comment); });
        connect(&s, &ArchiveSession::ProcessingFile, this,
                [this](QString& name, double& size, QDateTime&, qint16&, qint16&, qint32&, qint32&) {
                    lines.append(QStringLiteral("ProcessingFile %1 %2").arg(name).arg(size, 0, 'f', 0));
                });
        connect(&s, &ArchiveSession::NextVolumne, this, [this](QString& volume, bool& blnContinue) {
            lines.append(QStringLiteral("NextVolumne ") + shortName(volume));
            blnContinue = true;
        });
        connect(&s, &ArchiveSession::MissingFile, this, [this](QString& volume, QString& newName) {
            lines.append(QStringLiteral("MissingFile ") + shortName(volume));
            newName.clear();
        });
        connect(&s, &ArchiveSession::MissingPassword, this, [this](QString&) { lines.append("MissingPassword"); });
        connect(&s, &ArchiveSession::Progress, this,
                [this](double& size, double& done) { progress.append(done / size * 100.0); });
        connect(&s, &ArchiveSession::cancelled, this, [this] { lines.append("cancelled"); });
        connect(&s, &ArchiveSession::EmptyPassword, this, [this] { lines.append("EmptyPassword"); });
        connect(&s, &ArchiveSession::fileskipped, this, [this] { lines.append("fileskipped"); });
        connect(&s, &ArchiveSession::gotpw, this, [this](QString& pw, bool&) {
            lines.append("gotpw");
            RunState::instance().CurrentPassword = pw;
        });
    }

    QStringList only(const QString& prefix) const { return lines.filter(QRegularExpression(u'^' + prefix)); }

private:
    static QString shortName(const QString& path) { return path.section(u'/', -1); }
};

} // namespace

class tst_ArchiveSession : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void extractsEveryFixture_data();
    void extractsEveryFixture();
    void progressClimbsOneStepPerEvent_data();
    void progressClimbsOneStepPerEvent();
    void passwords_data();
    void passwords();
    void libraryAsksForThePasswordMidway_data();
    void libraryAsksForThePasswordMidway();
    void existingFiles_data();
    void existingFiles();
    void reportsEveryEvent_data();
    void reportsEveryEvent();
    void skippedFileIsPassedOverInItsNextVolume();
    void folderPerArchive();
    void folderPromptCancelledOrUnusable();
    void listing_data();
    void listing();
    void testingWritesNothing();
    void badInput_data();
    void badInput();
    void longToUnsigned();

private:
    bool extract(const QString& archive, PromptScript& script);

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_out;
    std::unique_ptr<EventLog> m_log;
};

void tst_ArchiveSession::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    m_out = m_tmp->filePath(QStringLiteral("out"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp->filePath(QStringLiteral("config"))));
    RunState::instance() = RunState{};
    m_log = std::make_unique<EventLog>();
}

bool tst_ArchiveSession::extract(const QString& archive, PromptScript& script)
{
    ArchiveSession session;
    m_log->attach(session);
    const bool result = session.ExtractRarFiles(archive, QString(), RunState::instance().CurrentPassword);
    return !script.unexpected && result;
}

void tst_ArchiveSession::extractsEveryFixture_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("source"); // original files, or empty to compare with unrar's result

    const auto row = [](const char* name, const QString& archive, const QString& password, const QString& source) {
        QTest::newRow(name) << archive << password << source;
    };
    // git keeps no empty folders, so the one in nested.rar is added to what src/ holds.
    row("nested folders, empty folder", "nested.rar", "", "src/nested+docs/empty/");
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

    QVERIFY(extract(fixture(archive), script));
    QVERIFY2(m_log->only("(Open|Process|Comment)Error").isEmpty(), qPrintable(m_log->lines.join('\n')));
    QStringList expected = source.isEmpty() ? referenceTree(fixture(archive), password, m_tmp->filePath("reference"))
                                            : tree(fixture(source.section('+', 0, 0)));
    const QString emptyFolder = source.section('+', 1);
    if (!emptyFolder.isEmpty() && !expected.contains(emptyFolder)) {
        expected.append(emptyFolder);
        expected.sort();
    }
    QVERIFY(!expected.isEmpty());
    QCOMPARE(tree(m_out), expected);
}

void tst_ArchiveSession::progressClimbsOneStepPerEvent_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("events");

    QTest::newRow("default step of 4") << 4 << 24;
    QTest::newRow("step of 10") << 10 << 9;
}

// big.rar unpacks 12 MB in about a hundred small blocks, so every threshold is
// passed by its own block.
void tst_ArchiveSession::progressClimbsOneStepPerEvent()
{
    QFETCH(int, step);
    QFETCH(int, events);

    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    ArchiveSession session;
    session.setIntProgressSteps(static_cast<qint16>(step));
    m_log->attach(session);
    QVERIFY(session.ExtractRarFiles(fixture("big.rar")));

    QCOMPARE(m_log->progress.size(), events);
    for (int i = 0; i < m_log->progress.size(); ++i) {
        QVERIFY(m_log->progress[i] > step * (i + 1));
        QVERIFY(m_log->progress[i] <= 100.0);
    }
    QCOMPARE(QFileInfo(m_out + "/big.txt").size(), 12000000);
}

void tst_ArchiveSession::passwords_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("answer");     // empty: the prompt is cancelled
    QTest::addColumn<QStringList>("errors"); // none: the archive is extracted
    QTest::addColumn<QStringList>("prompts");

    const auto row = [](const char* name, const QString& archive, const QString& answer, const QStringList& errors,
                        int prompts) {
        QTest::newRow(name) << archive << answer << errors << QStringList{"Formpw", "Form2"}.mid(0, prompts);
    };
    row("data, wrong", "enc-data.rar", "Secret", {"ProcessError 24 CRC error - Wrong password? | a.txt"}, 2);
    row("data, cancelled", "enc-data.rar", "", {"EmptyPassword"}, 1);
    row("headers, wrong", "enc-header.rar", "nope", {"ProcessError 24 CRC error - Wrong password? | enc-header.rar"},
        1);
    row("RAR4 headers, wrong", "rar4/enc-header.rar", "nope",
        {"ProcessError 12 CRC error - Wrong password? | enc-header.rar"}, 1);
    row("RAR4 first entry encrypted", "rar4/enc-partial.rar", "12345678", {}, 2);
}

void tst_ArchiveSession::passwords()
{
    QFETCH(QString, archive);
    QFETCH(QString, answer);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, prompts);

    PromptScript script;
    script.then(answer.isEmpty() ? PromptScript::press("Command2") : PromptScript::password(answer));
    script.then(PromptScript::chooseFolder(m_out));
    QCOMPARE(extract(fixture(archive), script), errors.isEmpty());
    QCOMPARE(script.seen, prompts);
    QCOMPARE(m_log->only("(ProcessError|OpenError|EmptyPassword)"), errors);
    QCOMPARE(RunState::instance().CurrentPassword, answer);
}

void tst_ArchiveSession::libraryAsksForThePasswordMidway_data()
{
    QTest::addColumn<QString>("answer"); // empty: the prompt is cancelled
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("written");

    const QStringList start{"ProcessingFile a.txt 18", "ProcessingFile b.txt 18", "MissingPassword"};
    // d.txt has another password and fails with the first one.
    QTest::newRow("answered") << "password"
                              << start + QStringList{"gotpw", "ProcessingFile c.txt 18", "ProcessingFile d.txt 18",
                                                     "ProcessError 12 CRC error - Wrong password? | d.txt"}
                              << QStringList{"a.txt", "b.txt", "c.txt"};
    QTest::newRow("cancelled") << ""
                               << start + QStringList{"EmptyPassword", "ProcessError 5003 No password supplied | b.txt"}
                               << QStringList{"a.txt"};
}

// The first entry is plain, so nobody asks up front; the library asks for b.txt.
void tst_ArchiveSession::libraryAsksForThePasswordMidway()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, events);
    QFETCH(QStringList, written);

    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out))
        .then(answer.isEmpty() ? PromptScript::press("Command2") : PromptScript::password(answer));
    QVERIFY(!extract(fixture("rar4/enc-mixed.rar"), script));
    QCOMPARE(script.seen, (QStringList{"Form2", "Formpw"}));
    QCOMPARE(m_log->only("(ProcessingFile|MissingPassword|gotpw|EmptyPassword|ProcessError)"), events);
    QCOMPARE(QDir(m_out).entryList(QDir::Files), written);
}

void tst_ArchiveSession::existingFiles_data()
{
    QTest::addColumn<QString>("button"); // empty: the close box
    QTest::addColumn<bool>("forAll");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("prompts");
    QTest::addColumn<QString>("after"); // "old" or "new", for both files

    const auto row = [](const char* name, const QString& button, bool forAll, bool result, int prompts,
                        const QString& after) {
        QTest::newRow(name) << button << forAll << result << prompts << after;
    };
    row("overwrite each", "Command1", false, true, 2, "new");
    row("skip each", "Command2", false, true, 2, "old");
    row("cancel at the first", "Command3", false, false, 1, "old");
    row("skip for all", "Command2", true, true, 1, "old");
    row("close box alone overwrites", "", false, true, 2, "new");
}

void tst_ArchiveSession::existingFiles()
{
    QFETCH(QString, button);
    QFETCH(bool, forAll);
    QFETCH(bool, result);
    QFETCH(int, prompts);
    QFETCH(QString, after);

    QVERIFY(QDir().mkpath(m_out));
    QFile a(m_out + "/a.txt"), b(m_out + "/b.txt");
    QVERIFY(a.open(QIODevice::ReadWrite) && a.write("old") == 3 && b.open(QIODevice::ReadWrite) && b.write("old") == 3);
    a.close();
    b.close();
    const auto content = [](QFile& f) -> QString {
        return f.open(QIODevice::ReadOnly) && f.readAll() == "old" ? "old" : "new";
    };

    const QByteArray pressed = button.toLatin1();
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    for (int i = 0; i < prompts; ++i)
        script.then(PromptScript::overwrite(button.isEmpty() ? nullptr : pressed.constData(), forAll));
    QCOMPARE(extract(fixture("plain.rar"), script), result);
    QCOMPARE(script.seen.count("frmOW"), prompts);
    QCOMPARE(content(a), after);
    QCOMPARE(content(b), after);
    QCOMPARE(m_log->only("fileskipped").size(), button == "Command2" ? 2 : 0);

    // The next archive asks again: "for all" lasts one archive.
    script.then(PromptScript::overwrite("Command2"));
    RunState::instance().UseFolderForAll = true;
    extract(fixture("comment.rar"), script);
    QCOMPARE(script.seen.count("frmOW"), prompts + 1);
}

void tst_ArchiveSession::reportsEveryEvent_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QStringList>("events");

    const QStringList entry{"NextVolumne <archive>", "ProcessingFile a.txt 17"};
    QTest::newRow("comment") << "comment.rar"
                             << QStringList{"CommentFound Zorvane test comment\nsecond line\n"} + entry;
    QTest::newRow("comment over the buffer")
        << "bigcomment.rar"
        << QStringList{"CommentError 20 Buffer too small, comments not completely read | bigcomment.rar"} + entry;
    QTest::newRow("file over three volumes is one entry")
        << "span.part1.rar"
        << QStringList{"NextVolumne span.part1.rar", "ProcessingFile span.bin 150000", "NextVolumne span.part2.rar",
                       "NextVolumne span.part3.rar"};
}

void tst_ArchiveSession::reportsEveryEvent()
{
    QFETCH(QString, archive);
    QFETCH(QStringList, events);

    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    QVERIFY(extract(fixture(archive), script));
    QCOMPARE(m_log->lines, events.replaceInStrings("<archive>", archive));
}

void tst_ArchiveSession::skippedFileIsPassedOverInItsNextVolume()
{
    // The first file runs over volumes 1 to 3, the second over 3 to 6.
    QVERIFY(QDir().mkpath(m_out));
    QFile old(m_out + "/LibarchiveAddingTest2.html");
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("keep me") == 7);
    old.close();

    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out)).then(PromptScript::overwrite("Command2"));
    QVERIFY(extract(fixture("rar4/multivol.part1.rar"), script));
    QCOMPARE(script.seen, (QStringList{"Form2", "frmOW"}));
    QCOMPARE(m_log->only("ProcessingFile"), (QStringList{"ProcessingFile LibarchiveAddingTest2.html 20111",
                                                         "ProcessingFile LibarchiveAddingTest.html 20111"}));
    QCOMPARE(QFileInfo(m_out + "/LibarchiveAddingTest2.html").size(), 7);
    QCOMPARE(QFileInfo(m_out + "/LibarchiveAddingTest.html").size(), 20111);
}

// Only the last dot is cut from the archive's name.
void tst_ArchiveSession::folderPerArchive()
{
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out, true, true));
    QVERIFY(extract(fixture("span.part1.rar"), script));
    QCOMPARE(QDir(m_out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"span.part1"});
    QCOMPARE(RunState::instance().LastExtractFolder, m_out + "/span.part1");
}

void tst_ArchiveSession::folderPromptCancelledOrUnusable()
{
    PromptScript script;
    script.then(PromptScript::press("cmdCancel"));
    QVERIFY(!extract(fixture("plain.rar"), script));
    QCOMPARE(m_log->lines, QStringList{"cancelled"});

    // A missing parent is reported, not made.
    script.then(PromptScript::chooseFolder(m_tmp->filePath("missing/parent/out")));
    QVERIFY(!extract(fixture("plain.rar"), script));
    QCOMPARE(m_log->lines, (QStringList{"cancelled", "ProcessError 16 File creation error | "}));
    QCOMPARE(QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"config"});
}

void tst_ArchiveSession::listing_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("errors");

    const auto row = [](const char* name, const QString& archive, int capacity, bool result, const QStringList& names,
                        const QStringList& errors) {
        QTest::newRow(name) << archive << capacity << result << names << errors;
    };
    row("one slot is refused", "plain.rar", 1, false, {"keep"},
        {"ProcessError 5000 Supplied array too small to fit all files | "});
    row("exact fit", "plain.rar", 2, true, {"a.txt", "b.txt"}, {});
    row("too many names", "nested.rar", 2, false, {"readme.txt", "docs/a/b/deep.txt"},
        {"ProcessError 5000 Supplied array to small to fit all files | b"});
}

void tst_ArchiveSession::listing()
{
    QFETCH(QString, archive);
    QFETCH(int, capacity);
    QFETCH(bool, result);
    QFETCH(QStringList, names);
    QFETCH(QStringList, errors);

    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    ArchiveSession session;
    m_log->attach(session);
    QStringList list(capacity, QStringLiteral("keep"));
    QCOMPARE(session.ListRarFiles(fixture(archive), list), result);
    QCOMPARE(list, names);
    QCOMPARE(m_log->only("ProcessError"), errors);
    QVERIFY(!QFileInfo::exists(m_out + "/a.txt"));
}

void tst_ArchiveSession::testingWritesNothing()
{
    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    ArchiveSession session;
    m_log->attach(session);
    QVERIFY(session.TestRarFiles(fixture("span.part1.rar")));
    QVERIFY(!session.TestRarFiles(fixture("damaged.rar")));
    QCOMPARE(m_log->only("ProcessError"), QStringList{"ProcessError 12 CRC error | b.txt"});
    QCOMPARE(QDir(m_out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
}

void tst_ArchiveSession::badInput_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QStringList>("events"); // without NextVolumne and ProcessingFile
    QTest::addColumn<bool>("asksForFolder");

    const auto row = [](const char* name, const QString& archive, const QStringList& events, bool asksForFolder) {
        QTest::newRow(name) << archive << events << asksForFolder;
    };
    row("not an archive", "notarchive.rar", {"OpenError 13 File is not a RAR archive | notarchive.rar"}, false);
    row("missing file", "no-such.rar", {"OpenError 15 Cannot open file | no-such.rar"}, false);
    row("no entries", "empty.rar", {}, true);
    row("damaged data", "damaged.rar", {"ProcessError 12 CRC error | b.txt"}, true);
    row("missing volume", "lost.part1.rar",
        {"MissingFile lost.part2.rar", "ProcessError 15 Volume open error | lost.bin"}, true);
}

void tst_ArchiveSession::badInput()
{
    QFETCH(QString, archive);
    QFETCH(QStringList, events);
    QFETCH(bool, asksForFolder);

    PromptScript script;
    script.then(PromptScript::chooseFolder(m_out));
    QVERIFY(!extract(fixture(archive), script));
    QCOMPARE(m_log->lines.filter(QRegularExpression("^(?!NextVolumne|ProcessingFile)")), events);
    QCOMPARE(script.seen, asksForFolder ? QStringList{"Form2"} : QStringList{});
    // Nothing is written but the chosen folder (and the chooser's settings).
    const QStringList written = QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(written.filter(QRegularExpression("^(?!config$)")), asksForFolder ? QStringList{"out"} : QStringList{});
}

void tst_ArchiveSession::longToUnsigned()
{
    QCOMPARE(ArchiveSession::LongToUnsigned(2147483647), 2147483647.0);
    QCOMPARE(ArchiveSession::LongToUnsigned(-1), 4294967295.0);
}

QTEST_MAIN(tst_ArchiveSession)
#include "tst_ArchiveSession.moc"
