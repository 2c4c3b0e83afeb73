#pragma once
// Picks the faster of two ways of doing the same work while the work is done, on a machine whose
// speed for each changes as it runs (a second core that is at times busy elsewhere): the work
// goes in stretches, the way in use does `between` of them, then the other way is tried for one;
// it takes over when it beat the best of those stretches, and is itself tried against after one
// stretch. Each trial the way in use wins doubles its next run, up to `longest` stretches: a trial
// costs the time the slower way takes, and a machine that stays as it is needs fewer of them.
// Way 0 begins, with two stretches before the first trial, so that a slow way is left early.

#include <algorithm>
#include <chrono>

namespace db {

class FasterOfTwo {
public:
    explicit FasterOfTwo(int between, int longest = 0)
        : between_(between), longest_(std::max(between, longest)), run_(between), left_(std::min(between, 2)) {}
    // The way (0 or 1) for the next stretch, after the stretch just done took `took`.
    int next(std::chrono::steady_clock::duration took);

private:
    int between_;
    int longest_;
    int run_;      // stretches of the way in use between two trials
    int way_ = 0;  // the way in use; during a trial, the other one is tried
    int left_;     // stretches of the way in use before the next trial
    bool trial_ = false;
    std::chrono::steady_clock::duration best_ = std::chrono::steady_clock::duration::max();
};

}  // namespace db
