// Platforms without a way to watch the wheel over other programs: no gesture.
#include "platform/qbWheelHook.h"

struct TqbWheelHook::TPrivate {};

TqbWheelHook::TqbWheelHook(QObject* parent) : QObject(parent) {}
TqbWheelHook::~TqbWheelHook() = default;

bool TqbWheelHook::Install() {
    return false;
}

void TqbWheelHook::Remove() {}

bool TqbWheelHook::Installed() const {
    return false;
}
