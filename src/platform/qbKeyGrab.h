#pragma once

#include <QKeyCombination>
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
