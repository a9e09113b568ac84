#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <limits>

// The fastest of several runs, in milliseconds: the others paid for a cold cache or a busy core.
template <typename Work> double qbBestOfMs(int runs, Work work) {
    double best = std::numeric_limits<double>::max();
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}
