#pragma once
// What the readers and the field mapper tell the window during a conversion, and the one
// thing they ask it (whether the user cancelled).

#include <cstdint>
#include <string>

namespace adr {

struct SourcePosition;

class ConversionEvents {
public:
    virtual ~ConversionEvents() = default;
    // A message box with an OK button and the application title; returns once confirmed.
    virtual void showMessage(const std::string& text) = 0;
    // Lets the window handle what is pending (a click that cancels the run among it).
    virtual void pumpEvents() = 0;
    virtual void listCleared() = 0;
    // Address file number 1 to 99 is being read.
    virtual void fileStarted(int number) = 0;
    // The running count of records started, shown at once.
    virtual void recordsCounted(std::int32_t count) = 0;
    virtual bool cancelRequested() = 0;
    // A row the database refused with a code that passes silently (a constraint, a trigger):
    // reason is the database's own text. The window passes over it, as over every silent failure.
    virtual void rowRefused(const std::string& /*reason*/, const SourcePosition& /*where*/) {}
};

}  // namespace adr
