#pragma once
// What changes with every record during a conversion, the running count and the progress bar,
// waits here and is drawn at most once per interval: drawing every change would take far longer
// than the conversion itself. The latest value of each is kept; nothing of it is lost.

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "app/View.h"

namespace app::win32 {

class ThrottledDisplay {
public:
    using Clock = std::chrono::steady_clock;

    struct Held {
        std::map<Control, std::string> texts;
        std::optional<int> progress;
    };

    explicit ThrottledDisplay(Clock::duration interval) : interval_(interval) {}

    void holdText(Control control, const std::string& text) { held_.texts[control] = text; }
    void holdProgress(int value) { held_.progress = value; }
    // The text that waits to be drawn for the control, if any.
    std::optional<std::string> heldText(Control control) const;
    bool holdsAnything() const { return !held_.texts.empty() || held_.progress.has_value(); }

    // Whether what waits may be drawn at now: at once after a pause, else once the interval has
    // passed since the last drawing.
    bool due(Clock::time_point now) const;
    // Hands over what waits, to be drawn now; the interval starts anew.
    Held take(Clock::time_point now);

private:
    Clock::duration interval_;
    std::optional<Clock::time_point> lastDrawn_;
    Held held_;
};

}  // namespace app::win32
