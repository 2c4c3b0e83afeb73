#pragma once
// The progress bar on stderr: the address file being read and the running count, redrawn in
// place (when the file changes, else at most ten times a second); cleared before any other
// line is written.

#include <chrono>
#include <cstdio>
#include <string>

namespace cli {

class ProgressLine {
public:
    explicit ProgressLine(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}
    bool enabled() const { return enabled_; }
    void draw(int fileNumber, const std::string& count);
    void clear();

private:
    std::FILE* stream_;
    bool enabled_;
    std::size_t shownWidth_ = 0;  // characters of the longest line drawn since the last clear; 0: none shown
    int fileNumber_ = -1;
    std::chrono::steady_clock::time_point drawn_{};
};

}  // namespace cli
