#include "app/ControlStates.h"

namespace app {

ControlStates::ControlStates() {
    for (const ControlDescription& description : kControls) {
        setText(description.control, description.caption);
        setEnabled(description.control, description.enabled);
    }
}

}  // namespace app
