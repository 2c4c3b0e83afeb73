#include "review/ReportWhileListed.h"

#include <utility>

namespace review {

ReportWhileListed::ReportWhileListed(std::function<bool(ListedIds& ids)> write)
    : write_(std::move(write)), thread_([this] { run(); }) {}

ReportWhileListed::~ReportWhileListed() {
    if (!thread_.joinable()) return;
    ids_.end(false);
    thread_.join();
}

void ReportWhileListed::run() {
    try {
        complete_ = write_(ids_);
    } catch (...) {
        // Also when the list could not pair the records: the report is written again.
        failed_ = true;
    }
    ids_.stopReading();
}

std::optional<bool> ReportWhileListed::finish(bool usable) {
    ids_.end(usable);
    if (thread_.joinable()) thread_.join();
    if (failed_) return std::nullopt;
    return complete_;
}

}  // namespace review
