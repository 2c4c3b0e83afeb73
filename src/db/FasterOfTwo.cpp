#include "db/FasterOfTwo.h"

#include <algorithm>

namespace db {

int FasterOfTwo::next(std::chrono::steady_clock::duration took) {
    if (trial_) {
        trial_ = false;
        // The best of a run, not its last stretch: one stretch that met a busy moment does not
        // decide; and beaten by an eighth, not by what a stretch's time varies by anyway. A way
        // kept is measured afresh in its next run.
        if (took < best_ - best_ / 8) {
            // The way that took over is tried against again after one stretch: a trial won by
            // chance (the way in use met a slow moment in each stretch of its run) then costs one
            // stretch of the slower way, not a whole run of them.
            way_ = 1 - way_;
            run_ = 1;
        } else {
            run_ = std::min(run_ * 2, longest_);
        }
        left_ = run_;
        best_ = took < best_ ? took : std::chrono::steady_clock::duration::max();
        return way_;
    }
    best_ = std::min(best_, took);
    if (--left_ > 0) return way_;
    trial_ = true;
    return 1 - way_;
}

}  // namespace db
