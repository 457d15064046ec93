#pragma once

#include <QDialog>

class ClickableLabel;
class QLabel;
class QPushButton;

// The About window: the version, the publisher's links and the credits.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // Link targets: the publisher's site and the two mail links.
    static QString webSiteTarget();
    static QString supportTarget();
    static QString feedbackTarget();
    // The HTML help at its start page.
    static QString helpTarget();
    // Opens target in the desktop's program for it; error is the message
    // shown over parent when there is none.
    static void openLink(QWidget* parent, const QString& target, const QString& error);

    explicit AboutDialog(QWidget* parent = nullptr);

private:
    QPushButton* m_okButton;
    QLabel* m_versionLabel;
    ClickableLabel* m_webSiteLink;
    ClickableLabel* m_supportLink;
    ClickableLabel* m_feedbackLink;
};
