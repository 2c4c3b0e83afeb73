#include "app/TrialRun.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "adr/BatchReader.h"
#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
#include "adr/LineReader.h"
#include "db/Error.h"

namespace app {

namespace {

class MemoryFile : public adr::ByteSource {
public:
    explicit MemoryFile(const std::string& bytes) : bytes_(bytes) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

// Keeps what a run would show the user, and asks nothing.
class TrialEvents : public adr::ConversionEvents {
public:
    void showMessage(const std::string& text) override { problems.push_back(text); }
    void pumpEvents() override {}
    void listCleared() override {}
    void fileStarted(int) override {}
    void recordsCounted(std::int32_t) override {}
    bool cancelRequested() override { return false; }
    void rowRefused(const std::string& reason, const adr::SourcePosition& where) override {
        problems.push_back(reason + " (" + where.describe() + ")");
    }

    std::vector<std::string> problems;
};

void addRecord(std::string& bytes, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) bytes += line + "\r\n";
}

}  // namespace

std::string trialRecords() {
    std::string bytes;
    const auto full = [](char c) { return std::string(adr::kLineTextLimit, c); };
    // Salutation 8 composes the longest letter salutation from the surname; a line without its
    // postal code tag becomes the longest PLZOrt.
    addRecord(bytes, {"1*", "8", full('V'), full('N'), full('S'), "<OR>" + full('O').substr(4), full('T'), full('B')});
    // The others as an office's are, with an umlaut and "ß" in the bytes of the ADR character set.
    for (int number = 2; number <= kTrialRecords; ++number) {
        const std::string n = std::to_string(number);
        addRecord(bytes, {n + "*", "1", "Hans#Herrn", "M\x81ller " + n + "#Zusatz",
                          "Hauptstra\xE1"
                          "e " +
                              n,
                          "10115 Berlin", "030 1234" + n, "Sparkasse           Berlin    10050000  " + n + "#K"});
    }
    return bytes;
}

TrialOutcome runTrial(db::Connection& connection) {
    const std::string bytes = trialRecords();
    TrialEvents events;
    adr::FieldMapper mapper(events);
    // Only "01A" holds records; the other files are empty.
    adr::BatchReader reader(connection, mapper, events,
                            [&](const std::string& path) -> std::unique_ptr<adr::ByteSource> {
                                static const std::string none;
                                return std::make_unique<MemoryFile>(path.ends_with("01A") ? bytes : none);
                            });
    connection.beginTransaction();
    TrialOutcome outcome;
    try {
        const auto started = std::chrono::steady_clock::now();
        reader.run("Probe");
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        outcome.saved = connection.execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer();
    } catch (...) {
        try {
            connection.rollback();
        } catch (const db::Error&) {
            // The failure that ended the trial is the one to tell.
        }
        throw;
    }
    connection.rollback();
    outcome.problems = std::move(events.problems);
    return outcome;
}

}  // namespace app
