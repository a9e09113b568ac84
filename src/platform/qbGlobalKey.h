#pragma once

#include <QKeySequence>
#include <QObject>
#include <memory>

class IqbKeyGrab;

// One key for the whole desktop, whichever program has the focus: grabbed from the X server on
// X11, elsewhere (Wayland) bound through the desktop portal's global shortcuts where the session
// offers them. Where neither is there nothing is registered, and one line in the log says so.
class TqbGlobalKey : public QObject {
    Q_OBJECT
public:
    enum class TOutcome {
        Registered,  // the key is live, or no key was asked for
        Taken,       // another program holds it; the key before stays
        Unusable,    // the keyboard has no such key, or it is only a modifier
        Unavailable, // the session offers no global keys; the key is kept for later
    };

    // description names the key where the desktop asks the user about it.
    explicit TqbGlobalKey(const QString& description, QObject* parent = nullptr);
    ~TqbGlobalKey() override;

    // Puts key in the place of the current one; an empty key gives up the current one. Only
    // the sequence's first combination counts.
    TOutcome SetKey(const QKeySequence& key);
    QKeySequence Key() const { return m_key; }

signals:
    void Pressed();

private:
    std::unique_ptr<IqbKeyGrab> m_grab;
    QKeySequence m_key;
};
