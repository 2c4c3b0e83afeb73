#pragma once
// The report written on a thread of its own while the run's list is read, each record as soon
// as the listed rows pair it. The thread belongs to this object: it ends, at the latest, when
// the object does.

#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

#include "review/ListedIds.h"

namespace review {

class ReportWhileListed {
public:
    // write: writes the whole report, taking each record's staging id from the ids given; false
    // when the report ends before its last record. It runs on the thread, which starts here
    // (std::system_error when it cannot).
    explicit ReportWhileListed(std::function<bool(ListedIds& ids)> write);
    ~ReportWhileListed();
    ReportWhileListed(const ReportWhileListed&) = delete;
    ReportWhileListed& operator=(const ReportWhileListed&) = delete;

    // The staging id of the next record, as the list pairs it.
    void listed(std::int64_t id) { ids_.add(id); }
    // The list has ended; usable false makes the report void. Only the first call counts.
    void listEnded(bool usable) { ids_.end(usable); }
    // Ends the list as usable or not, and waits for the report: what write answered, or none
    // when it failed or was made void (the records must then be reported anew).
    std::optional<bool> finish(bool usable);

private:
    void run();

    std::function<bool(ListedIds&)> write_;
    ListedIds ids_;
    bool complete_ = false;
    bool failed_ = false;
    std::thread thread_;  // last: it starts once the members it uses are there
};

}  // namespace review
