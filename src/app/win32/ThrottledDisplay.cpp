#include "app/win32/ThrottledDisplay.h"

#include <utility>

namespace app::win32 {

std::optional<std::string> ThrottledDisplay::heldText(Control control) const {
    const auto found = held_.texts.find(control);
    if (found == held_.texts.end()) return std::nullopt;
    return found->second;
}

bool ThrottledDisplay::due(Clock::time_point now) const {
    return holdsAnything() && (!lastDrawn_ || now - *lastDrawn_ >= interval_);
}

ThrottledDisplay::Held ThrottledDisplay::take(Clock::time_point now) {
    lastDrawn_ = now;
    return std::exchange(held_, Held{});
}

}  // namespace app::win32
