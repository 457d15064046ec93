#pragma once

#include "core/archive/ExtractionPrompts.h"
#include "core/util/LaunchOptions.h"

#include <QString>

// What an extraction run remembers from one archive to the next: the answers
// that hold for the rest of the run, and where the last entry went. The run
// owns it; the session it drives reads and updates it.
struct RunState
{
    // A run from the command line asks for no folder: each archive goes
    // beside itself or into targetFolder, in a folder of its own when it
    // would spill loose files (see SmartFolder).
    LaunchOptions::Target target = LaunchOptions::Target::Ask;
    QString targetFolder;

    QString extractFolder;        // destination chosen for the run, ends with "/"
    bool useFolderForAll = false; // don't ask for a folder again this run
    bool folderPerArchive = false;
    bool autoOpenFolder = false; // open the last extract folder when the run ends
    QString password;
    bool usePasswordForAll = false; // use password without asking
    QString lastExtractFolder;      // folder of the last entry processed without error
    ExtractionPrompts::Overwrite overwriteAnswer = ExtractionPrompts::Overwrite::Overwrite;
    bool overwriteForAll = false; // apply overwriteAnswer to later conflicts of the archive
};
