#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

// Answers the modal prompts an operation shows, one scripted step per prompt,
// the way a user would: it waits for each new modal window, fills its fields
// and clicks its buttons. It records the class of every prompt it saw.
class PromptScript : public QObject
{
public:
    using Step = std::function<void(QWidget*)>;

    PromptScript()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &PromptScript::poll);
        m_timer.start();
    }

    PromptScript& then(Step step)
    {
        m_steps.append(std::move(step));
        return *this;
    }

    QStringList seen;
    bool unexpected = false; // a prompt came with no step left for it

    static void click(QWidget* prompt, const char* button)
    {
        QPushButton* b = prompt->findChild<QPushButton*>(button);
        QVERIFY2(b, button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void tick(QWidget* prompt, const char* box, bool on)
    {
        QCheckBox* c = prompt->findChild<QCheckBox*>(box);
        QVERIFY2(c, box);
        if (c->isChecked() != on)
            QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(2, c->height() / 2));
    }
    static void type(QWidget* prompt, const char* combo, const QString& text)
    {
        QComboBox* c = prompt->findChild<QComboBox*>(combo);
        QVERIFY2(c && c->lineEdit(), combo);
        c->lineEdit()->selectAll();
        // Key clicks cover ASCII; other text arrives whole, as from an input method.
        const bool ascii = std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 128; });
        if (ascii)
            QTest::keyClicks(c->lineEdit(), text);
        else
            c->lineEdit()->insert(text);
    }

    // The extract-folder chooser: type the folder and press OK.
    static Step chooseFolder(const QString& folder, bool useForAll = true, bool newForEach = false)
    {
        return [=](QWidget* w) {
            type(w, "Combo1", folder);
            tick(w, "chkUseforAll", useForAll);
            tick(w, "chkCrNew", newForEach);
            click(w, "cmdOK");
        };
    }
    static Step password(const QString& text, bool useForAll = false)
    {
        return [=](QWidget* w) {
            type(w, "Text1", text);
            tick(w, "Check1", useForAll);
            click(w, "Command1");
        };
    }
    static Step press(const char* button)
    {
        return [=](QWidget* w) { click(w, button); };
    }
    // The overwrite prompt: optionally tick "for all", then a button or the
    // window's close box (button nullptr).
    static Step overwrite(const char* button, bool forAll = false)
    {
        return [=](QWidget* w) {
            tick(w, "Check1", forAll);
            if (button)
                click(w, button);
            else
                w->close();
        };
    }

private:
    void poll()
    {
        QWidget* prompt = QApplication::activeModalWidget();
        if (!prompt || prompt == m_current)
            return;
        m_current = prompt;
        seen.append(QString::fromLatin1(prompt->metaObject()->className()));
        if (m_steps.isEmpty()) {
            unexpected = true;
            prompt->close();
            return;
        }
        m_steps.takeFirst()(prompt);
    }

    QTimer m_timer;
    QPointer<QWidget> m_current;
    QList<Step> m_steps;
};
