#include "core/archive/EntryExtractor.h"

#include "core/archive/ArchiveHandle.h"
#include "core/archive/EntryHeader.h"
#include "core/archive/EntryPath.h"
#include "core/archive/EventPump.h"
#include "core/archive/ExtractFolder.h"
#include "core/archive/ResultMessages.h"
#include "core/archive/RunState.h"
#include "core/archive/UnrarApi.h"
#include "core/util/PathText.h"

namespace {

int skip(ArchiveHandle& archive)
{
    return RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
}

} // namespace

EntryExtractor::EntryExtractor(ExtractionPrompts& prompts, RunState& run)
    : m_prompts(prompts)
    , m_run(run)
{}

EntryExtractor::Outcome EntryExtractor::extract(ArchiveHandle& archive, const ExtractFolder& folder,
                                                const EntryHeader& header)
{
    const QByteArray stored = header.storedName();
    const EntryPath::Check check = EntryPath::check(folder, stored);
    if (const qint32 refusal =
            EntryPath::refusal(folder, check.verdict, header.fields().RedirType, header.redirTarget()))
        return {skip(archive), refusal};
    // The library would wait for ever on a pipe, or write to a device.
    if (check.place == ExtractFolder::Place::Other)
        return {skip(archive), ResultMessages::SpecialFileInPlace};

    const QByteArray target = folder.path() + '/' + EntryPath::cleanedName(stored);
    if (check.place == ExtractFolder::Place::File || check.place == ExtractFolder::Place::Link) {
        switch (askAboutExistingFile(header.name())) {
        case ExtractionPrompts::Overwrite::Cancel:
            return {ResultMessages::EntryNotProcessed, 0, false, true};
        case ExtractionPrompts::Overwrite::Skip:
            return {skip(archive), 0, true};
        case ExtractionPrompts::Overwrite::Overwrite:
            EntryPath::makeRoomFor(target, check.place);
            break;
        }
    }
    EventPump::serve();
    QByteArray destination = folder.path();
    const int result = RARProcessFile(archive.get(), RAR_EXTRACT, destination.data(), nullptr);
    EventPump::serve();
    if (result == ERAR_SUCCESS && !EntryPath::linkMadeSafely(header.fields().RedirType, folder.path(), target))
        return {result, ResultMessages::UnsafeEntry};
    return {result};
}

ExtractionPrompts::Overwrite EntryExtractor::askAboutExistingFile(const QString& name)
{
    if (!m_run.overwriteForAll) {
        const ExtractionPrompts::OverwriteAnswer answer = m_prompts.askOverwrite(PathText::displayText(name));
        m_run.overwriteAnswer = answer.choice;
        m_run.overwriteForAll = answer.forAll;
    }
    return m_run.overwriteAnswer;
}
