#pragma once
// The command-line tool's side of a conversion: messages as lines on stderr, a progress bar
// on stderr when it is a terminal, Ctrl+C as the cancel button.

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "adr/ConversionEvents.h"

namespace cli {

class CliEvents : public adr::ConversionEvents {
public:
    explicit CliEvents(std::FILE* err, bool showProgress) : err_(err), showProgress_(showProgress) {}

    void showMessage(const std::string& text) override;
    void pumpEvents() override;
    void listCleared() override {}
    void fileStarted(int number) override;
    void recordsCounted(std::int32_t count) override { count_ = count; }
    bool cancelRequested() override;

    std::uint64_t messages() const { return messages_; }
    // Clears the progress line before other output follows.
    void finishProgress();

    // Ctrl+C asks the running conversion to stop after its current line.
    static void catchInterrupt();

private:
    void drawProgress();

    std::FILE* err_;
    bool showProgress_;
    bool progressShown_ = false;
    int file_ = 0;
    std::int32_t count_ = 0;
    std::uint64_t messages_ = 0;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

// Message texts as one line each: line breaks become blanks.
std::string oneLine(const std::string& text);

}  // namespace cli
