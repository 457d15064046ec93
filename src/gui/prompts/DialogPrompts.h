#pragma once

#include "core/archive/ExtractionPrompts.h"

class QWidget;

// Answers the archive session's questions with the real dialogs, modal over
// the owner window (the folder chooser has no owner).
class DialogPrompts : public ExtractionPrompts
{
public:
    explicit DialogPrompts(QWidget* owner = nullptr)
        : m_owner(owner)
    {}

    Folder askExtractFolder(const QString& archiveFolder) override;
    Password askPassword() override;
    OverwriteAnswer askOverwrite(const QString& entryName) override;

private:
    QWidget* m_owner;
};
