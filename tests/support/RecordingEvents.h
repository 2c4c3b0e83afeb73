#pragma once
// Conversion events as a test sees them: every message kept, a cancel that can be armed.

#include <functional>
#include <string>
#include <vector>

#include "adr/ConversionEvents.h"

namespace testing_support {

class RecordingEvents : public adr::ConversionEvents {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void pumpEvents() override {
        ++pumps;
        if (onPump) onPump();
    }
    void listCleared() override { ++listClears; }
    void fileStarted(int number) override { files.push_back(number); }
    void recordsCounted(std::int32_t count) override { lastCount = count; }
    bool cancelRequested() override { return cancel; }

    std::vector<std::string> messages;
    std::vector<int> files;
    std::function<void()> onPump;
    int pumps = 0;
    int listClears = 0;
    std::int32_t lastCount = 0;
    bool cancel = false;
};

}  // namespace testing_support
