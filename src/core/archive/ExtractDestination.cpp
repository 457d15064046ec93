#include "core/archive/ExtractDestination.h"

#include "core/archive/EventPump.h"
#include "core/archive/ExtractFolder.h"
#include "core/archive/ExtractionPrompts.h"
#include "core/archive/RunState.h"
#include "core/archive/SmartFolder.h"
#include "core/util/PathText.h"

namespace {

bool madeOrThere(const QString& folder)
{
    return ExtractFolder::makeOneLevel(PathText::toBytes(folder));
}

} // namespace

ExtractDestination::ExtractDestination(ExtractionPrompts& prompts, RunState& run)
    : m_prompts(prompts)
    , m_run(run)
{}

ExtractDestination::Result ExtractDestination::choose(const QString& archivePath)
{
    if (m_run.target != LaunchOptions::Target::Ask)
        return targetFor(archivePath);
    const Result asked = askForFolder(archivePath);
    if (asked.choice != Choice::Go || !m_run.folderPerArchive)
        return asked;
    const QString folder = m_run.extractFolder + PathText::fileNameOf(archivePath, false);
    return {madeOrThere(folder) ? Choice::Go : Choice::Failed, folder};
}

ExtractDestination::Result ExtractDestination::askForFolder(const QString& archivePath)
{
    EventPump::serve();
    if (m_run.useFolderForAll)
        return {Choice::Go, m_run.extractFolder};
    const ExtractionPrompts::Folder chosen = m_prompts.askExtractFolder(PathText::folderOf(archivePath));
    if (chosen.cancelled)
        return {Choice::Cancelled, {}};
    if (chosen.useForAll)
        m_run.useFolderForAll = true;
    if (chosen.folderPerArchive)
        m_run.folderPerArchive = true;
    m_run.autoOpenFolder = chosen.autoOpen;
    m_run.extractFolder = chosen.folder;
    return {madeOrThere(m_run.extractFolder) ? Choice::Go : Choice::Failed, m_run.extractFolder};
}

// The target is made with all its missing levels, the archive's own folder
// below it only when the archive would spill loose files.
ExtractDestination::Result ExtractDestination::targetFor(const QString& archivePath)
{
    const QString target =
        m_run.target == LaunchOptions::Target::Folder ? m_run.targetFolder : PathText::folderOf(archivePath);
    if (!ExtractFolder::makeAllLevels(PathText::toBytes(target)))
        return {Choice::Failed, target};
    if (!SmartFolder::spillsOver(archivePath, m_run.password))
        return {Choice::Go, target};
    const QString folder = SmartFolder::freePath(target, SmartFolder::archiveName(archivePath));
    return {madeOrThere(folder) ? Choice::Go : Choice::Failed, folder};
}
