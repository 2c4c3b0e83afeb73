#pragma once
// Tells a record observer what becomes of the records on a thread of its own, in the order it is
// told, so that the report's work (keeping every line, checking the values, finding likely
// duplicates) runs beside the reading and not in its way. What is told waits in batches; the
// reading waits only when several batches are still untold.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "adr/LineReader.h"
#include "adr/MappedValues.h"
#include "adr/RecordObserver.h"

namespace adr {

class ObserverThread : public RecordObserver {
public:
    explicit ObserverThread(RecordObserver& observer);
    // Finishes when finish was not called; what the observer threw is then lost.
    ~ObserverThread() override;
    ObserverThread(const ObserverThread&) = delete;
    ObserverThread& operator=(const ObserverThread&) = delete;

    void recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) override;
    void lineRead(const Line& line) override;
    void note(const std::string& text) override;
    bool wantsValues() const override { return observer_.wantsValues(); }
    void valuesMapped(const MappedValues& values) override;
    void recordEnded(bool saved) override;
    void fileUnreadable(const std::string& file, const std::string& reason, bool missing) override;

    // Returns once the observer was told everything, and throws what it threw.
    void finish();

private:
    enum class Kind { recordStarted, lineRead, note, valuesMapped, recordEnded, fileUnreadable };
    struct Event {
        Kind kind = Kind::note;
        std::string text;  // a record's or an unreadable file's file, a note
        std::string reason;
        std::uint64_t line = 0;
        std::optional<double> number;
        bool flag = false;  // saved, missing
        Line read;
        MappedValues values;
    };
    using Batch = std::vector<Event>;
    struct Told {
        Batch events;
        std::size_t count = 0;
    };
    static constexpr std::size_t kBatchSize = 256;
    static constexpr std::size_t kMostWaiting = 4;  // batches told, not yet passed on

    Event& add(Kind kind);
    void handOver();
    void run();
    void pass(const Event& event);

    RecordObserver& observer_;
    Batch filling_ = Batch(kBatchSize);
    std::size_t filled_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Told> waiting_;  // in the order told
    std::vector<Batch> spare_;  // passed on, kept for their buffers
    bool ended_ = false;
    bool finished_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: it runs on the members above
};

}  // namespace adr
