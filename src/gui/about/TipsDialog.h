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
    static QFont tipFont(const QFont& defaultFont, const QStringList& installedFamilies);

    // Loads the tips and the check box, then shows the window modally over its
    // parent until it is closed; returns exec()'s result.
    int showTips();

protected:
    // Nothing animates while the window is hidden between openings.
    void hideEvent(QHideEvent* event) override;

private:
    void prepareToShow();
    // Appends fileName's lines to m_tips and shows the next tip; false when
    // there is no such file.
    bool loadTips(const QString& fileName);
    // Shows tip number m_currentTip; with no such tip the label keeps its text.
    void showCurrentTip();
    void showNextTip();
    void saveAndClose();
    void showNextFrame();
    void showFrame();

    SettingsStore m_settings;
    QLabel* m_tipLabel;
    QLabel* m_animation;
    // The two animation frames, drawn once.
    QList<QPixmap> m_frames;
    QPushButton* m_nextTipButton;
    QCheckBox* m_noTipsCheck;
    QPushButton* m_okButton;
    QTimer* m_animationTimer;
    // The animation frame shown, 1 or 2.
    int m_frame = 1;
    // Every line read so far, in file order, once per opening.
    QStringList m_tips;
    // 1-based position of the tip shown; 0 before the first one.
    int m_currentTip = 0;
};
