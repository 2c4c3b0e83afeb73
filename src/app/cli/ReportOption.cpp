#include "app/cli/ReportOption.h"

#include <filesystem>
#include <stdexcept>

#include "app/cli/Arguments.h"

namespace cli {

namespace {

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

ReportOption::ReportOption(const std::optional<std::string>& path) : path_(path) {
    if (!path_) {
        records_ = std::make_unique<app::MigrationRecords>();
        return;
    }
    const auto format = app::tableFormatOf(*path_);
    if (!format) throw UsageError("--report erwartet eine Datei mit der Endung .csv oder .jsonl: " + *path_);
    format_ = *format;
    std::error_code ignored;
    reportExisted_ = std::filesystem::exists(pathOf(*path_), ignored);
    OutputFile::ensureWritable(*path_);
    spillPath_ = *path_ + ".tmp";
    spill_.rdbuf()->pubsetbuf(spillBuffer_.data(), static_cast<std::streamsize>(spillBuffer_.size()));
    spill_.open(pathOf(spillPath_), std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
    if (!spill_) throw std::runtime_error("Die Arbeitsdatei " + spillPath_ + " lässt sich nicht anlegen.");
    records_ = std::make_unique<app::MigrationRecords>(&spill_);
    records_->reportWhileListed([this]() -> app::TableWriter& { return begin(); });
}

app::TableWriter& ReportOption::begin() {
    writer_.reset();
    file_.reset();
    file_.emplace(*path_);
    finished_ = true;
    return writer_.emplace(file_->stream(), format_, app::MigrationRecords::reportColumns());
}

ReportOption::~ReportOption() {
    records_.reset();  // ends the thread that may still write the report from the spill
    if (spillPath_.empty()) return;
    spill_.close();
    std::error_code ignored;
    std::filesystem::remove(pathOf(spillPath_), ignored);
    // Only the trial of the name made it: no report stands for a run that never ended.
    if (!finished_ && !reportExisted_) std::filesystem::remove(pathOf(*path_), ignored);
}

void ReportOption::finish(db::Connection* connection, const std::string& rowsQuery) {
    if (!path_) {
        records_->settle(connection, rowsQuery);
        return;
    }
    const bool complete = records_->settle(connection, rowsQuery, [this]() -> app::TableWriter& { return begin(); });
    if (!complete || spill_.bad()) {
        throw std::runtime_error("Die Arbeitsdatei " + spillPath_ + " ließ sich nicht lesen.");
    }
    file_->close();
}

}  // namespace cli
