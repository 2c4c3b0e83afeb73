#include "app/cli/CliEvents.h"

#include <string>

#include "app/cli/Interrupt.h"

namespace cli {

std::string oneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += text[i];
        }
    }
    return line;
}

void CliEvents::showMessage(const std::string& text) {
    finishProgress();
    std::fprintf(err_, "%s\n", oneLine(text).c_str());
    ++messages_;
}

void CliEvents::pumpEvents() { drawProgress(); }

void CliEvents::fileStarted(int number) {
    file_ = number;
    drawProgress();
}

bool CliEvents::cancelRequested() {
    // Taken, so that a Ctrl+C that comes after the reading is told apart from this one.
    if (takeInterrupt()) cancelled_ = true;
    return cancelled_;
}

}  // namespace cli
