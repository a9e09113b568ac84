#pragma once
// Answers the modal dialogs a test makes the program show, and keeps what they said.

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <functional>

// Message boxes get the given button (or are closed), input dialogs the given text, any other
// dialog is cancelled. Only one answerer should be alive at a time.
class TqbDialogAnswerer : public QObject {
public:
    QStringList texts;  // each box's text; another dialog's object name
    QStringList shown;  // "caption: text"
    QStringList details; // each box's informative text
    // Runs once a box is taken down in the lists above, before it is answered.
    std::function<void()> beforeAnswer;

    explicit TqbDialogAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok,
                               const QString& input = {}) {
        connect(&m_timer, &QTimer::timeout, this, [this, answer, input] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                // A question that takes no answer yet (its buttons still disabled) is asked
                // at the next turn.
                const QList<QAbstractButton*> buttons = box->buttons();
                if (!buttons.isEmpty() &&
                    std::none_of(buttons.begin(), buttons.end(),
                                 [](QAbstractButton* b) { return b->isEnabled(); }))
                    return;
                texts << box->text();
                shown << box->windowTitle() + ": " + box->text();
                details << box->informativeText();
                if (beforeAnswer)
                    beforeAnswer();
                if (QAbstractButton* button = box->button(answer))
                    button->click();
                else
                    box->accept();
            } else if (auto* ask = qobject_cast<QInputDialog*>(modal)) {
                ask->setTextValue(input);
                ask->accept();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                texts << dialog->objectName();
                dialog->reject();
            }
        });
        m_timer.start(20);
    }

private:
    QTimer m_timer;
};
