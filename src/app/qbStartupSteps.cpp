#include "app/qbStartupSteps.h"

#include <cstdio>

namespace qbStartupSteps {

namespace {
bool enabled = false;
}

void Enable() {
    enabled = true;
}

bool Enabled() {
    return enabled;
}

// The reader times the line's arrival: that clock started with the process, ours did not.
void Mark(const char* step) {
    if (!enabled)
        return;
    std::printf("step: %s\n", step);
    std::fflush(stdout);
}

} // namespace qbStartupSteps
