#include "platform/qbKeyHandOff.h"

class TqbKeyHold : public QObject {};

TqbKeyHandOff::TqbKeyHandOff(QWindow* to) : m_to(to) {}

TqbKeyHandOff::~TqbKeyHandOff() = default;

void TqbKeyHandOff::Begin() {}
