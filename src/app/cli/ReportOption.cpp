#include "app/cli/ReportOption.h"

#include <filesystem>
#include <stdexcept>
#include <utility>

#include "adr/FieldMapper.h"
#include "app/cli/Arguments.h"
#include "app/cli/Platform.h"
#include "app/cli/Texts.h"
#include "review/ReportRows.h"
#include "review/Texts.h"
#include "text/Utf8Path.h"

namespace cli {

ReportOption::ReportOption(const std::optional<std::string>& path) : path_(path) {
    if (!path_) {
        records_ = std::make_unique<review::MigrationRecords>();
        return;
    }
    const auto format = review::tableFormatOf(*path_);
    if (!format) throw UsageError(texts::reportExtension(*path_));
    format_ = *format;
    std::error_code ignored;
    reportExisted_ = std::filesystem::exists(text::pathOf(*path_), ignored);
    // A report standing there must be one the user may replace. Where none stands, nothing is
    // made under its name before the report is whole: a trial there would have to be removed,
    // and with it a report that another run put there meanwhile. The work files beside it show
    // that the folder takes the report.
    if (reportExisted_) OutputFile::ensureWritable(*path_);
    const std::string workName = *path_ + "." + review::uniqueFileTag();
    for (auto [file, ending] : {std::pair{&spill_, ".tmp"}, std::pair{&keys_, ".keys.tmp"}}) {
        if (!file->emplace(text::pathOf(workName + ending)).isOpen()) {
            throw std::runtime_error(reportExisted_ ? texts::workFileNotCreated(workName + ending)
                                                    : texts::fileNotCreated(*path_));
        }
    }
    records_ = std::make_unique<review::MigrationRecords>(&spill_->stream(), &keys_->stream());
    records_->reportWhileListed([this]() -> review::TableSink& { return begin(); });
}

review::TableSink& ReportOption::begin() {
    writer_.reset();
    workbook_.reset();
    file_.reset();
    if (format_ == review::TableFormat::xlsx) {
        file_.emplace(*path_, OutputFile::OwnWriter{});
        return workbook_.emplace(file_->draftPath(), review::ReportRows::columns(),
                                 std::string(review::texts::kReportSheet));
    }
    file_.emplace(*path_);
    return writer_.emplace(file_->stream(), format_, review::ReportRows::columns());
}

void ReportOption::closeReport(bool whole) {
    if (workbook_) workbook_->close({review::texts::countsLine(records_->counts(), groupSeparator())});
    if (whole) return file_->close();
    file_->keepDraft();
}

app::ListedRowSink ReportOption::follow(adr::FieldMapper& mapper) {
    mapper.setObserver(records_.get());
    return records_->pairWhileListed();
}

ReportOption::~ReportOption() {
    records_.reset();  // ends the thread that may still write the report from the spill
    if (!spill_) return;
    spill_.reset();
    keys_.reset();
    // The writers are closed before their file removes a draft: Windows removes no open file.
    writer_.reset();
    workbook_.reset();
    file_.reset();
}

void ReportOption::finish(db::Connection* connection, const std::string& rowsQuery, const std::string& countQuery) {
    if (!path_) {
        records_->settle(connection, rowsQuery, {}, countQuery);
        return;
    }
    const bool complete = records_->settle(
        connection, rowsQuery, [this]() -> review::TableSink& { return begin(); }, countQuery);
    const std::string kept = reportExisted_ ? texts::earlierReportKept(*path_) : "";
    // Only a whole report takes the name; one cut short stays beside it, and its last row says so.
    try {
        closeReport(complete);
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error(texts::reportNotWritten(failure.what(), kept));
    }
    if (!complete) {
        throw std::runtime_error(texts::reportIncomplete(records_->reportCutShort(), file_->draftPath(), kept));
    }
}

}  // namespace cli
