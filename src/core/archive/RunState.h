#pragma once

#include "core/archive/ExtractionPrompts.h"

#include <QString>

// The values an extraction run shares between the session, its prompts and the
// main window. There is exactly one, reached through RunState::instance().
struct RunState
{
    QString ArchiveFolder;        // folder of the archive being processed
    QString ExtractFolder;        // destination chosen for the run, ends with "/"
    bool UseFolderForAll = false; // don't ask for a folder again this run
    bool CreateFolderPerArchive = false;
    bool AutoOpenFolder = false; // open the last extract folder when the run ends
    QString CurrentPassword;
    bool UsePasswordForAll = false; // use CurrentPassword without asking
    QString LastExtractFolder;      // folder of the last entry processed without error
    ExtractionPrompts::Overwrite OverwriteAnswer = ExtractionPrompts::Overwrite::Overwrite;
    bool OverwriteForAll = false; // apply OverwriteAnswer to later conflicts of the archive
    bool InTray = false;          // the main window sits in the notification area

    static RunState& instance();
};
