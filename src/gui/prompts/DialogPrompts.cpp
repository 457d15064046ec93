#include "gui/prompts/DialogPrompts.h"

#include "gui/prompts/ExtractFolderDialog.h"
#include "gui/prompts/OverwriteDialog.h"
#include "gui/prompts/PasswordDialog.h"

ExtractionPrompts::Folder DialogPrompts::askExtractFolder(const QString& archiveFolder)
{
    ExtractFolderDialog chooser(archiveFolder);
    chooser.exec();
    return {chooser.isCancelled(), chooser.folder(), chooser.useForAll(), chooser.folderPerArchive(),
            chooser.autoOpen()};
}

ExtractionPrompts::Password DialogPrompts::askPassword()
{
    PasswordDialog prompt(m_owner);
    prompt.exec();
    return {prompt.password(), prompt.useForAll()};
}

ExtractionPrompts::OverwriteAnswer DialogPrompts::askOverwrite(const QString& entryName)
{
    OverwriteDialog prompt(m_owner);
    prompt.setMessage(entryName);
    prompt.exec();
    return prompt.answer();
}
