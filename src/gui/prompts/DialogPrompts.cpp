#include "gui/prompts/DialogPrompts.h"

#include "gui/prompts/ExtractFolderDialog.h"
#include "gui/prompts/OverwriteDialog.h"
#include "gui/prompts/PasswordDialog.h"

ExtractionPrompts::Folder DialogPrompts::askExtractFolder(const QString& archiveFolder)
{
    ExtractFolderDialog chooser(archiveFolder);
    chooser.exec();
    return {chooser.cancl, chooser.extfldr, chooser.useforall, chooser.newforeach, chooser.autoOpen};
}

ExtractionPrompts::Password DialogPrompts::askPassword()
{
    PasswordDialog prompt(m_owner);
    prompt.exec();
    return {prompt.pword, prompt.ufa};
}

ExtractionPrompts::OverwriteAnswer DialogPrompts::askOverwrite(const QString& entryName)
{
    OverwriteDialog prompt(m_owner);
    prompt.setMessage(entryName);
    prompt.exec();
    return prompt.answer();
}
