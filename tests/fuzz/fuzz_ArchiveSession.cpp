// Any file named like an archive must go through a whole list pass and test
// pass of the real session and UnRAR library without a crash, a leak or a hang.
#include "core/archive/ArchiveSession.h"
#include "core/archive/RunState.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

QTemporaryDir* folder = nullptr;

// Every question is answered as by Escape: no folder, no password, cancel.
struct CancelEverything : ExtractionPrompts
{
    Folder askExtractFolder(const QString&) override { return {}; }
    Password askPassword() override { return {}; }
    OverwriteAnswer askOverwrite(const QString&) override { return {Overwrite::Cancel}; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    folder = new QTemporaryDir;
    static int qtArgc = 1; // libFuzzer's flags are not Qt's
    new QCoreApplication(qtArgc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile file(folder->filePath("input.rar"));
    if (size > 64 * 1024 || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0; // 64 KiB hold every header kind; more only slows the search
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    RunState run;
    run.useFolderForAll = true; // no folder question; nothing is extracted
    run.extractFolder = folder->path() + u'/';
    CancelEverything prompts;
    ArchiveSession session(prompts, run);
    QStringList names(64);
    // The list pass meets the password question, the test pass a preset password.
    session.listArchive(file.fileName(), names);
    run.usePasswordForAll = true;
    run.password = QStringLiteral("fuzz");
    session.testArchive(file.fileName());
    return 0;
}
