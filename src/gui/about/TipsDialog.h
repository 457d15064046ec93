#pragma once

#include "core/settings/SettingsStore.h"

#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

// Shows the tips of ZorvaneTips.txt beside the program one at a time, with a
// two-frame animation and a check box that keeps the window from opening at
// start. One object serves the whole program run: every opening appends the
// file's lines again and goes on after the last tip shown.
class TipsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TipsDialog(QWidget* parent = nullptr);

    // defaultFont in the tips' family, Comic Sans MS, when installedFamilies has it;
    // otherwise defaultFont as it is.
    static QFont TipFont(const QFont& defaultFont, const QStringList& installedFamilies);

    // Loads the tips and the check box, then shows the window modally over its
    // parent until it is closed; returns exec()'s result.
    int Open();

    // Appends FileName's lines to colTips and shows the next tip; false when
    // there is no such file.
    bool LoadTips(const QString& FileName);
    // Shows tip number lngCurrentTip; with no such tip the label keeps its text.
    void DisplayCurrentTip();

    // The animation frame shown, 1 or 2.
    qint32 lngFrame = 1;
    // Every line read so far, in file order, once per opening.
    QStringList colTips;
    // 1-based position of the tip shown; 0 before the first one.
    qint32 lngCurrentTip = 0;

protected:
    // Nothing animates while the window is hidden between openings.
    void hideEvent(QHideEvent* event) override;

private:
    void Form_Load();
    void NextTip();
    void Command1_Click();
    void Timer1_Timer();
    void showFrame();

    SettingsStore m_settings;
    QLabel* lblTipText;
    QLabel* Picture1;
    // The two animation frames, drawn once.
    QList<QPixmap> ImageList1;
    QPushButton* cmdNextTip;
    QCheckBox* Check1;
    QPushButton* Command1;
    QTimer* Timer1;
};
