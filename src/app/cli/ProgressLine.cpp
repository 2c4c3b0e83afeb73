#include "app/cli/ProgressLine.h"

namespace cli {

void ProgressLine::draw(int fileNumber, const std::string& count) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (fileNumber == fileNumber_ && now - drawn_ < std::chrono::milliseconds(100)) return;
    fileNumber_ = fileNumber;
    drawn_ = now;
    constexpr int kWidth = 33;
    const int filled = fileNumber * kWidth / 99;
    std::fprintf(stream_, "\r[%s%s] Datei %02dA, %s Adressen",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), fileNumber, count.c_str());
    std::fflush(stream_);
    shown_ = true;
}

void ProgressLine::clear() {
    if (!shown_) return;
    std::fprintf(stream_, "\r\033[K");
    shown_ = false;
}

}  // namespace cli
