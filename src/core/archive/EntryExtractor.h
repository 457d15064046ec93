#pragma once

#include "core/archive/ExtractionPrompts.h"

#include <QByteArray>

class ArchiveHandle;
class ExtractFolder;
class EntryHeader;
struct RunState;

// Extracts the entry the library has just read into the extract folder, so
// that it lands where its cleaned name says and nowhere else: names that would
// leave the folder, links that would lead out of it and pipes or devices in
// the way are left out, and an existing file is only replaced when the user
// says so.
class EntryExtractor
{
public:
    struct Outcome
    {
        int result = 0;         // the library's result for the entry
        qint32 leftOut = 0;     // why the entry was left out (a ResultMessages code), or 0
        bool skipped = false;   // the user chose to keep the existing file
        bool cancelled = false; // the user cancelled the archive at this entry
    };

    // prompts and run must outlive the extractor.
    EntryExtractor(ExtractionPrompts& prompts, RunState& run);

    Outcome extract(ArchiveHandle& archive, const ExtractFolder& folder, const EntryHeader& header);

private:
    ExtractionPrompts::Overwrite askAboutExistingFile(const QString& name);

    ExtractionPrompts& m_prompts;
    RunState& m_run;
};
