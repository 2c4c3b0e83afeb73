#pragma once
// Steps that must all be tried, such as putting a connection back the way it was after a
// transaction: a failing one does not keep the others from running, and it is still told.

#include <optional>

#include "db/Error.h"

namespace db {

// Runs each step in turn, also after one of them has thrown a db::Error, and then throws the
// first of those errors.
template <class... Steps>
void everyStep(Steps&&... steps) {
    std::optional<Error> failed;
    const auto run = [&failed](auto& step) {
        try {
            step();
        } catch (const Error& error) {
            if (!failed) failed = error;
        }
    };
    (run(steps), ...);
    if (failed) throw *failed;
}

}  // namespace db
