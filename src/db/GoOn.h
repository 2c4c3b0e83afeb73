#pragma once
// "Go on with the next statement": runs one step; a failure is reported (or passed over
// silently for the two codes that reader and mapper ignore) and the caller carries on.

#include <exception>
#include <functional>
#include <string>

#include "db/Error.h"
#include "db/Texts.h"

namespace db {

// Where reported failures go: a message box in the window, a line on stderr in the tool.
using Report = std::function<void(const std::string& description)>;

// Runs step; answers true when it completed.
template <class Step>
bool goOn(const Report& report, Step&& step) {
    try {
        step();
        return true;
    } catch (const Error& error) {
        if (!isSilent(error.code())) report(error.description());
    } catch (const std::bad_alloc&) {
        report(std::string(texts::kOutOfMemory));
    } catch (const std::exception& error) {
        report(error.what());
    }
    return false;
}

// Evaluates a condition the same way; a failing condition counts as met, so that execution
// continues with the first action the condition guards.
template <class Condition>
bool conditionOrFailure(const Report& report, Condition&& condition) {
    bool met = true;
    goOn(report, [&] { met = condition(); });
    return met;
}

}  // namespace db
