#pragma once

#include <QObject>

class QAbstractButton;
class QMessageBox;

// A question that typing under way cannot answer. A box may come up between two keys of the
// user's typing: the keys already on their way would land in it, Enter on its default button,
// Space on the focused one. Here its buttons stay disabled until the input queued when it
// appeared has been delivered, and no button answers a plain Enter; then the chosen button
// takes the focus, so only a key pressed with the question in view answers it.
class TqbSteadyQuestion : public QObject {
    Q_OBJECT
public:
    // focus: the button that gets the focus once the box takes answers.
    TqbSteadyQuestion(QMessageBox& box, QAbstractButton* focus);
    bool Steady() const { return m_steady; }
    // Shows the box and waits for its answer, as QMessageBox::exec does.
    static int Ask(QMessageBox& box, QAbstractButton* focus);

signals:
    // The box takes answers from now on.
    void Steadied();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void SetButtonsEnabled(bool enabled);

    QMessageBox& m_box;
    QAbstractButton* m_focus;
    bool m_steady = false;
    bool m_shown = false;
};
