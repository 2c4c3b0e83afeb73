#pragma once
// A trial of the conversion before the migration: sample address records, converted as a run
// converts them, written into the staging table inside a transaction that is rolled back, so
// that the Datenpool stays as it was. Their first record carries the longest text of every
// column.

#include <cstdint>
#include <string>
#include <vector>

#include "db/Connection.h"

namespace app {

inline constexpr std::int32_t kTrialRecords = 1000;

struct TrialOutcome {
    std::int64_t saved = 0;             // rows the staging table held before the rollback
    double seconds = 0;                 // the conversion, from emptying the table to its last row written
    std::vector<std::string> problems;  // messages of the run, refused rows among them
};

// The ADR bytes of the sample records, as an address file holds them.
std::string trialRecords();

// Throws db::Error when the staging table cannot be emptied or opened, or the transaction not
// begun; it is rolled back whatever happens.
TrialOutcome runTrial(db::Connection& connection);

}  // namespace app
