#pragma once
// What the import and the undo did. The front ends take exit codes and answers from it,
// never from the messages the command showed.

#include <cstdint>
#include <optional>

namespace app {

enum class Result {
    done,         // imported, or deleted
    nothingToDo,  // the import ran and added no address; the recorded range stays
    cancelled,    // the user (or the options of the command line) said no
    refused,      // the command does not work on this database or on this range
    failed,       // it could not run to its end; a message said why
};

// The ids above `after` up to `last`, as the settings record them.
struct IdRange {
    std::int32_t after = 0;
    std::int32_t last = 0;
    bool operator==(const IdRange&) const = default;
};

struct Outcome {
    Outcome(Result what, std::optional<IdRange> ids = std::nullopt) : result(what), range(ids) {}

    Result result;
    // The range now recorded by the import, or the range the undo deleted.
    std::optional<IdRange> range;
    // Staged addresses that an import of only the new ones left out.
    std::int64_t leftOut = 0;
};

}  // namespace app
