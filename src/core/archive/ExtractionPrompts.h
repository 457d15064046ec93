#pragma once

#include <QString>

// The three questions an archive session asks while it works. They are
// answered on the session's own thread before it goes on; the gui layer
// answers them with its dialogs.
class ExtractionPrompts
{
public:
    struct Folder
    {
        bool cancelled = true;
        QString folder;
        bool useForAll = false;        // don't ask again this run
        bool folderPerArchive = false; // a subfolder named after each archive
        bool autoOpen = false;         // open the folder when the run ends
    };
    struct Password
    {
        QString password; // empty: none was given
        bool useForAll = false;
    };
    // A question closed without a button overwrites, like the Overwrite button.
    enum class Overwrite
    {
        Overwrite,
        Skip,
        Cancel
    };
    struct OverwriteAnswer
    {
        Overwrite choice = Overwrite::Overwrite;
        bool forAll = false; // the same answer for later conflicts of the archive
    };

    virtual ~ExtractionPrompts() = default;
    // archiveFolder: the folder of the archive at hand, where the choice starts.
    virtual Folder askExtractFolder(const QString& archiveFolder) = 0;
    virtual Password askPassword() = 0;
    // entryName: the entry's path in the archive, made safe to show.
    virtual OverwriteAnswer askOverwrite(const QString& entryName) = 0;
};
