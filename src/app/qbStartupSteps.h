#pragma once

// Start-up steps told on standard output as they are reached, for the start-up benchmark; silent
// unless the program was started to be timed.
namespace qbStartupSteps {

void Enable();
bool Enabled();
void Mark(const char* step);

} // namespace qbStartupSteps
