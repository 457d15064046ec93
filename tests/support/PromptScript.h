#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

// Answers the modal prompts an operation shows, one scripted step per prompt,
// the way a user would: it waits for each new modal window, fills its fields
// and clicks its buttons. It records the objectName of every prompt it saw, and
// the text of every message box.
class PromptScript : public QObject
{
public:
    using Step = std::function<void(QWidget*)>;

    PromptScript()
    {
        connect(&m_timer, &QTimer::timeout, this, &PromptScript::poll);
        m_timer.start(5);
    }
    PromptScript& then(Step step)
    {
        m_steps.append(std::move(step));
        return *this;
    }

    QStringList seen;
    QStringList messages;
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
        c->lineEdit()->setFocus(Qt::MouseFocusReason);
        c->lineEdit()->selectAll();
        // Key clicks cover ASCII; other text arrives whole, as from an input method.
        if (std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 128; }))
            QTest::keyClicks(c->lineEdit(), text);
        else
            c->lineEdit()->insert(text);
    }
    // Opens the combo's list and picks its row with the keyboard.
    static void pick(QWidget* prompt, const char* combo, int row)
    {
        QComboBox* c = prompt->findChild<QComboBox*>(combo);
        QVERIFY2(c, combo);
        c->showPopup();
        QTRY_VERIFY(c->view()->isVisible());
        QTest::keyClick(c->view(), Qt::Key_Home);
        for (int i = 0; i < row; ++i)
            QTest::keyClick(c->view(), Qt::Key_Down);
        QTest::keyClick(c->view(), Qt::Key_Return);
    }
    // Clicks the item with objectName `item` in the menu that is open.
    static void chooseMenuItem(const QString& item)
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QAction* action = menu ? menu->findChild<QAction*>(item) : nullptr;
        QVERIFY2(action && menu->actions().contains(action), qPrintable(item));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }
    // Leaves the prompt by `how`: a button's name, "Enter" or "Escape" (pressed
    // where the focus is), or "close" for the frame's close box.
    static void leave(QWidget* prompt, const QString& how)
    {
        if (how == u"close")
            prompt->close();
        else if (how == u"Enter" || how == u"Escape")
            QTest::keyClick(prompt->focusWidget() ? prompt->focusWidget() : prompt,
                            how == u"Enter" ? Qt::Key_Return : Qt::Key_Escape);
        else
            click(prompt, qPrintable(how));
    }

    // Types names into a file dialog and presses its accept button. An open
    // dialog checks the names against its folder listing, which loads in the
    // background and resets the name field when it arrives: so the names are
    // typed once every one of them is listed.
    static void typeFileNames(QWidget* dialog, const QString& typed,
                              QDialogButtonBox::StandardButton accept = QDialogButtonBox::Open)
    {
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* list = dialog->findChild<QAbstractItemView*>("listView");
        QPushButton* button = dialog->findChild<QDialogButtonBox*>()->button(accept);
        QVERIFY(name && list && button);
        const QAbstractItemModel* listed = list->model();
        const QStringList names = typed.contains(u'"') ? typed.split(u'"', Qt::SkipEmptyParts) : QStringList{typed};
        for (const QString& wanted : names) {
            if (accept == QDialogButtonBox::Open && !wanted.trimmed().isEmpty() && !wanted.contains(u'/'))
                QTRY_VERIFY(
                    !listed->match(listed->index(0, 0, list->rootIndex()), Qt::DisplayRole, wanted, 1, Qt::MatchExactly)
                         .isEmpty());
        }
        name->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(name, typed);
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // A file dialog: the names typed and accepted; none: left with Escape.
    static Step fileNames(const QString& typed, QDialogButtonBox::StandardButton accept = QDialogButtonBox::Open)
    {
        return [=](QWidget* w) { typed.isEmpty() ? leave(w, "Escape") : typeFileNames(w, typed, accept); };
    }
    // The extract-folder chooser: type the folder and press OK.
    static Step chooseFolder(const QString& folder, bool useForAll = true, bool newForEach = false,
                             bool autoOpen = false)
    {
        return [=](QWidget* w) {
            type(w, "Combo1", folder);
            tick(w, "chkUseforAll", useForAll);
            tick(w, "chkCrNew", newForEach);
            tick(w, "chkautoopen", autoOpen);
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
    // Leaves the prompt as leave() does.
    static Step press(const QString& how)
    {
        return [=](QWidget* w) { leave(w, how); };
    }
    // The overwrite prompt: optionally tick "for all", then leave it as leave() does.
    static Step overwrite(const char* how, bool forAll = false)
    {
        return [=](QWidget* w) {
            tick(w, "Check1", forAll);
            leave(w, how);
        };
    }

private:
    void poll()
    {
        // A prompt stays answered while it is shown: it becomes the active
        // one again when a message box its step raised has closed.
        m_answered.removeIf([](const QPointer<QWidget>& p) { return !p || !p->isVisible(); });
        QWidget* prompt = QApplication::activeModalWidget();
        if (!prompt || m_answered.contains(prompt))
            return;
        m_answered.append(prompt);
        // A message box has no name of its own, and goes by its class.
        seen.append(prompt->objectName().isEmpty() ? prompt->metaObject()->className() : prompt->objectName());
        if (auto* box = qobject_cast<QMessageBox*>(prompt))
            messages.append(box->text());
        if (m_steps.isEmpty()) {
            unexpected = true;
            prompt->close();
            return;
        }
        // Run outside this timer's slot, which Qt never re-enters, so that a
        // prompt the step raises (a warning over the window) gets its own step.
        QTimer::singleShot(0, this, [step = m_steps.takeFirst(), answered = QPointer<QWidget>(prompt)] {
            if (!answered)
                return;
            step(answered);
            // A step that could not close its prompt would leave exec() waiting for ever.
            if (answered && answered->isVisible() && QApplication::activeModalWidget() == answered) {
                QTest::qFail("a prompt stayed open after its step", __FILE__, __LINE__);
                answered->close();
            }
        });
    }

    QTimer m_timer;
    QList<QPointer<QWidget>> m_answered;
    QList<Step> m_steps;
};
