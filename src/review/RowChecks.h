#pragma once
// The checks of each saved row for the migration report, made on the thread that writes the
// rows, so that the thread reading the records does not wait for them: its implausible values
// (PlausibilityNotes) and its keys of likely duplicates (DuplicateKeys). The record the row is
// of takes the findings once its end is told; those of rows written behind go over a batch at a
// time, once all its rows are viewed.

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/RowViewer.h"
#include "db/Value.h"
#include "review/DuplicateKeys.h"

namespace review {

class RowChecks : public db::RowViewer {
public:
    struct Findings {
        std::vector<std::string> notes;
        std::array<DuplicateKey, 3> keys{};
        std::size_t keyCount = 0;
    };

    // today: what birth dates are judged against; withKeys: the keys of likely duplicates too.
    RowChecks(const db::Date& today, bool withKeys) : today_(today), withKeys_(withKeys) {}

    void columnsAre(const Position& position) override;
    void view(std::uint64_t n, std::span<const std::optional<db::Value>> values) noexcept override;
    void batchViewed() noexcept override;

    // The findings of row n, as the viewer was told it (0: the row saved at once last); none
    // when that row was not shown. Rows before n that were not taken are dropped: their records
    // were not saved.
    std::optional<Findings> take(std::uint64_t n);
    // A row could not be checked (memory ran out): not every finding is there.
    bool failed() const;

private:
    enum Checked : std::size_t {
        kNachname,
        kVorname,
        kStrasse,
        kPlzOrt,
        kPlzOrtPostfach,
        kTelefon1,
        kTelefon2,
        kTelefax,
        kEmail,
        kBankleitzahl,
        kKontoNummer,
        kGeburtstag,
        kCheckedCount
    };

    db::Date today_;
    bool withKeys_;
    std::array<std::optional<std::size_t>, kCheckedCount> positions_{};
    std::array<std::string, kCheckedCount> texts_;  // the text form of values that are no text; the writing thread's
    std::vector<std::pair<std::uint64_t, Findings>> viewed_;  // of the batch being viewed, by the thread writing it
    mutable std::mutex mutex_;
    std::deque<std::pair<std::uint64_t, Findings>> behind_;  // of rows written behind, in order
    std::deque<std::pair<std::uint64_t, Findings>> taking_;  // those taken over from behind_ by take, in order
    std::optional<Findings> atOnce_;                         // of the row saved at once last
    bool failed_ = false;
};

}  // namespace review
