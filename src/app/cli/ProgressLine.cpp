#include "app/cli/ProgressLine.h"

#include <algorithm>

#include "text/Characters.h"

namespace cli {

void ProgressLine::draw(int fileNumber, const std::string& count) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (fileNumber == fileNumber_ && now - drawn_ < std::chrono::milliseconds(100)) return;
    fileNumber_ = fileNumber;
    drawn_ = now;
    constexpr int kWidth = 33;
    const int filled = fileNumber * kWidth / 99;
    char line[160];
    std::snprintf(line, sizeof line, "[%s%s] Datei %02dA, %s Adressen",
                  std::string(static_cast<std::size_t>(filled), '#').c_str(),
                  std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), fileNumber, count.c_str());
    // A shorter line than the last leaves none of the last one's end behind.
    const std::size_t width = text::charCount(line);
    std::fprintf(stream_, "\r%s%s", line, std::string(width < shownWidth_ ? shownWidth_ - width : 0, ' ').c_str());
    std::fflush(stream_);
    shownWidth_ = std::max(shownWidth_, width);
}

// Blanks overwrite the line rather than an erase sequence, which a console without
// virtual-terminal processing (Windows' by default) would print as it is.
void ProgressLine::clear() {
    if (shownWidth_ == 0) return;
    std::fprintf(stream_, "\r%s\r", std::string(shownWidth_, ' ').c_str());
    shownWidth_ = 0;
}

}  // namespace cli
