#include "platform/qbKeyGrab.h"

std::unique_ptr<IqbKeyGrab> qbPortalKeyGrab(const QString&, std::function<void()>) {
    return nullptr;
}
