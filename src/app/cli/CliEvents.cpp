#include "app/cli/CliEvents.h"

#include <csignal>
#include <string>

namespace cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;
extern "C" void onInterrupt(int) { interrupted = 1; }
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

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

void CliEvents::catchInterrupt() { std::signal(SIGINT, onInterrupt); }

void CliEvents::showMessage(const std::string& text) {
    finishProgress();
    std::fprintf(err_, "%s\n", oneLine(text).c_str());
    ++messages_;
}

void CliEvents::pumpEvents() {
    if (!showProgress_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ < kRedrawInterval) return;
    lastDrawn_ = now;
    drawProgress();
}

void CliEvents::fileStarted(int number) {
    file_ = number;
    if (showProgress_) drawProgress();
}

bool CliEvents::cancelRequested() { return interrupted != 0; }

void CliEvents::drawProgress() {
    constexpr int kWidth = 33;
    const int filled = file_ * kWidth / 99;
    std::fprintf(err_, "\r[%s%s] Datei %02dA, %d Adressen", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), file_, static_cast<int>(count_));
    std::fflush(err_);
    progressShown_ = true;
}

void CliEvents::finishProgress() {
    if (!progressShown_) return;
    std::fprintf(err_, "\r\033[K");
    progressShown_ = false;
}

}  // namespace cli
