#pragma once
// The controls' texts and enabled states held in memory, for the views without a window: they
// start as the window's controls start, from the controls' descriptions.

#include <array>
#include <string>

#include "app/Controls.h"

namespace app {

class ControlStates {
public:
    ControlStates();

    void setText(Control control, const std::string& text) { texts_[indexOf(control)] = text; }
    const std::string& text(Control control) const { return texts_[indexOf(control)]; }
    void setEnabled(Control control, bool enabled) { enabled_[indexOf(control)] = enabled; }
    bool isEnabled(Control control) const { return enabled_[indexOf(control)]; }

private:
    std::array<std::string, kControls.size()> texts_;
    std::array<bool, kControls.size()> enabled_{};
};

}  // namespace app
