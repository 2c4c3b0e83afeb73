#pragma once
// The command-line tool's side of a conversion: messages as lines on stderr, a progress bar
// on stderr when it is a terminal, Ctrl+C as the cancel button.

#include <cstdint>
#include <cstdio>

#include "adr/ConversionEvents.h"
#include "app/cli/ProgressLine.h"

namespace cli {

class CliEvents : public adr::ConversionEvents {
public:
    explicit CliEvents(std::FILE* err, bool showProgress) : err_(err), progress_(err, showProgress) {}

    void showMessage(const std::string& text) override;
    void pumpEvents() override;
    void listCleared() override {}
    void fileStarted(int number) override;
    void recordsCounted(std::int32_t count) override { count_ = count; }
    bool cancelRequested() override;

    std::uint64_t messages() const { return messages_; }
    // Clears the progress line before other output follows.
    void finishProgress() { progress_.clear(); }

private:
    // Called for every line read: the count is formatted only for a bar that is shown.
    void drawProgress() {
        if (progress_.enabled()) progress_.draw(file_, std::to_string(count_));
    }

    std::FILE* err_;
    ProgressLine progress_;
    int file_ = 0;
    std::int32_t count_ = 0;
    std::uint64_t messages_ = 0;
    bool cancelled_ = false;
};

// Message texts as one line each: line breaks become blanks.
std::string oneLine(const std::string& text);

}  // namespace cli
