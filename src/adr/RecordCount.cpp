#include "adr/RecordCount.h"

#include <filesystem>

#include "adr/AddressFiles.h"
#include "adr/ByteSource.h"
#include "adr/LineReader.h"
#include "text/Utf8Path.h"

namespace adr {

std::int64_t countRecords(const std::string& directory) {
    std::int64_t records = 0;
    for (int number = 1; number <= 99; ++number) {
        const std::string path = addressFilePath(directory, addressFileName(number));
        std::error_code ignored;
        if (!std::filesystem::exists(text::pathOf(path), ignored)) continue;
        const std::unique_ptr<ByteSource> file = openFile(path);
        LineReader reader(*file);
        for (Line line; reader.next(line);) records += line.isHeader ? 1 : 0;
    }
    return records;
}

}  // namespace adr
