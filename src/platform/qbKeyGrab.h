#pragma once

#include <QKeyCombination>
#include <QString>
#include <functional>
#include <memory>

// How one platform holds a key for the whole desktop.
class IqbKeyGrab {
public:
    enum class TResult { Grabbed, Taken, Unusable };

    virtual ~IqbKeyGrab() = default;
    // Holds key in place of what was held before; on a refusal nothing is held.
    virtual TResult Grab(QKeyCombination key) = 0;
    virtual void Release() = 0;
};

// The X server's grab on the root window, when the application runs on X11; null otherwise.
std::unique_ptr<IqbKeyGrab> qbX11KeyGrab(std::function<void()> pressed);
// The desktop portal's global shortcuts, when the session bus offers them; null otherwise.
// The desktop may ask the user about the key, so a grab is never refused here: what the
// desktop answers later goes to the log. description names the key to the user.
std::unique_ptr<IqbKeyGrab> qbPortalKeyGrab(const QString& description,
                                            std::function<void()> pressed);

// A key as the X keyboard names it: its keysym and the keysym's name ("m", "F5", "Page_Up").
struct TqbKeysym {
    quint32 Code = 0; // 0: a key this table does not know
    QString Name;
};
TqbKeysym qbKeysymOf(Qt::Key key);
