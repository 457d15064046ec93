#pragma once

#include "core/archive/ExtractionPrompts.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// Asks what to do with an entry whose target file already exists; the answer
// is read once the window has closed.
class OverwriteDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OverwriteDialog(QWidget* parent = nullptr);

    // Shows the question for the entry entryName (a path inside the archive).
    // A name too wide for one line is cut in its middle; the whole path is then
    // the label's tool tip.
    void setMessage(const QString& entryName);
    static QString messageFor(const QString& entryName);

    // The button pressed (none: Overwrite) and the "for all" box.
    ExtractionPrompts::OverwriteAnswer answer() const { return m_answer; }

    // Every way of closing ends here, so "for all" is recorded whatever closed us.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitCheckBox();
    void fitMessage();
    void choose(ExtractionPrompts::Overwrite choice, int result);

    QLabel* m_icon;
    QLabel* m_message;
    QCheckBox* m_forAllCheck;
    QPushButton* m_overwriteButton;
    QPushButton* m_skipButton;
    QPushButton* m_cancelButton;
    ExtractionPrompts::OverwriteAnswer m_answer;
};
