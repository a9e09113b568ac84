#pragma once

#include <QEnterEvent>
#include <QMouseEvent>

// What the drawn buttons do with the mouse beyond their toolkit base: the hot flag (pointer over
// the button, repainted on change), and a double click that goes to DoubleClicked, or is one
// more press where that declines.
template <class Base>
class TqbHotButton : public Base {
public:
    using Base::Base;

    bool Hot() const { return m_hot; }

protected:
    // True when a handler took the double click.
    virtual bool DoubleClicked() = 0;

    void enterEvent(QEnterEvent* event) override {
        Base::enterEvent(event);
        m_hot = true;
        this->update();
    }
    void leaveEvent(QEvent* event) override {
        Base::leaveEvent(event);
        m_hot = false;
        this->update();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (DoubleClicked())
            event->accept();
        else
            this->mousePressEvent(event);
    }

private:
    bool m_hot = false;
};
