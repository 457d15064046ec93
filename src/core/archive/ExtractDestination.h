#pragma once

#include <QString>

class ExtractionPrompts;
struct RunState;

// Where an archive is extracted: the run's folder, asked for at each archive
// until the user keeps it for all, and below it a folder named after the
// archive when the user asked for one per archive. A run from the command
// line asks nothing and lets SmartFolder decide below its target.
class ExtractDestination
{
public:
    enum class Choice
    {
        Go,
        Cancelled,
        Failed // a folder could not be made
    };
    struct Result
    {
        Choice choice = Choice::Cancelled;
        QString folder; // the destination, or the folder that could not be made
    };

    // prompts and run must outlive the destination.
    ExtractDestination(ExtractionPrompts& prompts, RunState& run);

    Result choose(const QString& archivePath);

private:
    Result askForFolder(const QString& archivePath);
    Result targetFor(const QString& archivePath);

    ExtractionPrompts& m_prompts;
    RunState& m_run;
};
