#include "platform/qbKeyGrab.h"

std::unique_ptr<IqbKeyGrab> qbX11KeyGrab(std::function<void()>) {
    return nullptr;
}
