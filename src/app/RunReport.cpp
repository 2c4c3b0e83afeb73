#include "app/RunReport.h"

#include <stdexcept>

#include "app/Texts.h"
#include "review/ReportRows.h"
#include "review/TableWriter.h"
#include "review/Texts.h"
#include "review/WorkFile.h"
#include "review/WorkbookWriter.h"
#include "text/Utf8Path.h"

namespace app {

namespace {

// The staging rows of a whole run, in the order they were added, and their number.
constexpr const char* kStagedRows = "SELECT id, fremdid FROM AdressenImport ORDER BY id";
constexpr const char* kStagedRowCount = "SELECT COUNT(*) FROM AdressenImport";

}  // namespace

RunReport::RunReport(const std::filesystem::path& workDirectory)
    : workName_(workDirectory / ("anschriftenwandler-" + review::uniqueFileTag())),
      spill_(std::filesystem::path(workName_) += ".tmp"),
      keys_(std::filesystem::path(workName_) += "-keys.tmp") {
    if (spill_.isOpen() && keys_.isOpen()) {
        records_ = std::make_unique<review::MigrationRecords>(&spill_.stream(), &keys_.stream());
    } else {
        workFileFailure_ = text::utf8Of((spill_.isOpen() ? keys_ : spill_).path());
        records_ = std::make_unique<review::MigrationRecords>();
    }
}

RunReport::~RunReport() { records_.reset(); }

void RunReport::settle(db::Connection* connection, bool listComplete) {
    records_->listEnded(listComplete);
    records_->settle(connection, kStagedRows, {}, kStagedRowCount);
}

std::string RunReport::save(const std::string& path, std::string_view groupSeparator) {
    if (!workFileFailure_.empty()) throw std::runtime_error(texts::reportWorkFileMissing(workFileFailure_));
    const review::TableFormat format = review::tableFormatOf(path).value_or(review::TableFormat::xlsx);
    // Written beside its name first, under a name of this save's own: a report that fails leaves
    // what stood there as it was, and a save at the same time (another workstation's) its draft.
    const std::filesystem::path target = text::pathOf(path);
    std::filesystem::path draft = target;
    draft += "." + review::uniqueFileTag() + ".part";
    std::string incomplete;
    std::error_code error;
    try {
        incomplete = writeTo(draft, format, groupSeparator);
        std::filesystem::rename(draft, target, error);
        if (error) throw std::runtime_error(texts::fileNotPlaced(error.message()));
    } catch (const std::exception& failure) {
        std::filesystem::remove(draft, error);
        throw std::runtime_error(texts::reportNotSaved(path, failure.what()));
    }
    return incomplete;
}

std::string RunReport::writeTo(const std::filesystem::path& path, review::TableFormat format,
                               std::string_view groupSeparator) {
    const auto& columns = review::ReportRows::columns();
    bool whole = false;
    if (format == review::TableFormat::xlsx) {
        review::WorkbookWriter workbook(text::utf8Of(path), columns, std::string(review::texts::kReportSheet));
        whole = records_->writeReport(workbook);
        workbook.close({review::texts::countsLine(records_->counts(), groupSeparator)});
    } else {
        std::vector<char> buffer(256 * 1024);
        std::ofstream file;
        // The buffer must be in place before the file is opened to take effect.
        file.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        file.open(path, std::ios::binary | std::ios::trunc);
        if (!file) throw std::runtime_error(std::string(texts::kFileNotCreated));
        review::TableWriter writer(file, format, columns);
        whole = records_->writeReport(writer);
        file.close();
        if (file.fail()) throw std::runtime_error(std::string(texts::kFileNotWrittenWhole));
    }
    return whole ? std::string() : records_->reportCutShort();
}

}  // namespace app
