#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;

// The error log: one line per error of an extraction run, filled while hidden
// and shown when the run has ended.
class ErrorLogDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ErrorLogDialog(QWidget* parent = nullptr);

    // Appends a line at the end of the list; the window stays as it is.
    void addLine(const QString& line);

    // The lines as they were added, before any character was made visible.
    QStringList lines() const { return m_lines; }

private:
    QLabel* m_messageLabel;
    QTreeWidget* m_lineList;
    QPushButton* m_okButton;
    QStringList m_lines;
};
