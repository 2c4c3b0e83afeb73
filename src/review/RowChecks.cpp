#include "review/RowChecks.h"

#include <iterator>
#include <string_view>

#include "adr/MappedValues.h"
#include "adr/StagingColumns.h"
#include "review/PlausibilityNotes.h"

namespace review {

void RowChecks::columnsAre(const Position& position) {
    static constexpr std::array<adr::StagingColumn, kCheckedCount> kColumns = {
        adr::kNachname, adr::kVorname, adr::kStrassenr, adr::kPLZOrt,       adr::kPLZOrtPostfach, adr::kTelefon1,
        adr::kTelefon2, adr::kTelefax, adr::kEmail,     adr::kBankleitzahl, adr::kKontoNummer,    adr::kGeburtstag};
    for (std::size_t i = 0; i < kCheckedCount; ++i) positions_[i] = position(adr::kStagingColumnNames[kColumns[i]]);
}

void RowChecks::view(std::uint64_t n, std::span<const std::optional<db::Value>> values) noexcept {
    try {
        // A column the table lacks, or one not assigned, is empty.
        const auto valueOf = [&](Checked which) -> const db::Value* {
            const auto& at = positions_[which];
            return at && *at < values.size() && values[*at] ? &*values[*at] : nullptr;
        };
        const auto textOf = [&](Checked which) -> std::string_view {
            const db::Value* value = valueOf(which);
            if (!value) return {};
            if (value->isText()) return value->text();
            return texts_[which] = value->toText();
        };
        adr::MappedValues mapped{textOf(kNachname),       textOf(kVorname),      textOf(kStrasse),     textOf(kPlzOrt),
                                 textOf(kPlzOrtPostfach), textOf(kTelefon1),     textOf(kTelefon2),    textOf(kTelefax),
                                 textOf(kEmail),          textOf(kBankleitzahl), textOf(kKontoNummer), std::nullopt};
        if (const db::Value* born = valueOf(kGeburtstag); born && born->isDate()) mapped.geburtstag = born->date();

        Findings found;
        notePlausibility(mapped, today_, [&](std::string text) { found.notes.push_back(std::move(text)); });
        if (withKeys_) found.keyCount = duplicateKeys(mapped, found.keys);

        if (n != 0) {
            viewed_.emplace_back(n, std::move(found));
            return;
        }
        const std::lock_guard lock(mutex_);
        atOnce_ = std::move(found);
    } catch (...) {
        const std::lock_guard lock(mutex_);
        failed_ = true;
    }
}

void RowChecks::batchViewed() noexcept {
    const std::lock_guard lock(mutex_);
    try {
        std::move(viewed_.begin(), viewed_.end(), std::back_inserter(behind_));
    } catch (...) {
        failed_ = true;
    }
    viewed_.clear();
}

std::optional<RowChecks::Findings> RowChecks::take(std::uint64_t n) {
    if (n == 0) {
        const std::lock_guard lock(mutex_);
        return std::exchange(atOnce_, std::nullopt);
    }
    // The findings of whole batches are taken over under one lock, not one for each record.
    for (;;) {
        while (!taking_.empty() && taking_.front().first < n) taking_.pop_front();
        if (!taking_.empty()) break;
        const std::lock_guard lock(mutex_);
        if (behind_.empty()) return std::nullopt;
        taking_.swap(behind_);
    }
    if (taking_.front().first != n) return std::nullopt;
    Findings found = std::move(taking_.front().second);
    taking_.pop_front();
    return found;
}

bool RowChecks::failed() const {
    const std::lock_guard lock(mutex_);
    return failed_;
}

}  // namespace review
