#include "settings/FileRegistry.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>
#include <thread>

#include "settings/AtomicFile.h"
#include "settings/FileLock.h"
#include "settings/RegFile.h"
#include "settings/RegistryData.h"
#include "settings/Texts.h"
#include "text/Utf8Path.h"

namespace settings {

namespace {

// A file that another process is just replacing cannot be opened on Windows for a moment; the
// open is tried again for a while, as the writer retries its rename.
constexpr int kOpenAttempts = 500;
constexpr auto kOpenPause = std::chrono::milliseconds(10);

std::string readFile(const std::filesystem::path& file) {
    for (int attempt = 0;; ++attempt) {
        std::error_code error;
        const auto status = std::filesystem::status(file, error);
        if (status.type() == std::filesystem::file_type::not_found) return {};
        const bool regular = !error && status.type() == std::filesystem::file_type::regular;
        std::ifstream in;
        if (regular) in.open(file, std::ios::binary);
        if (in.is_open()) {
            // Read in one piece: a growing buffer would hold a large file twice while it grows.
            in.seekg(0, std::ios::end);
            const std::streamoff size = in.tellg();
            in.seekg(0, std::ios::beg);
            std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)), '\0');
            if (size >= 0 && in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return bytes;
        } else if (regular && attempt < kOpenAttempts) {
            std::this_thread::sleep_for(kOpenPause);
            continue;
        }
        throw RegistryFileError(texts::fileUnreadable(text::utf8Of(file)), 0);
    }
}

std::filesystem::path lockFileFor(const std::filesystem::path& file) {
    std::filesystem::path lock = file;
    lock += ".lock";
    return lock;
}

// The Win32 code of a failed file operation: a refusal (no right, a read-only file or file
// system) is "access denied", anything else a failed I/O of the registry.
Status statusOf(const std::error_code& error) {
#ifdef _WIN32
    constexpr int kWin32AccessDenied = 5;
    constexpr int kWin32WriteProtect = 19;
    if (error.category() == std::system_category()) {
        return error.value() == kWin32AccessDenied || error.value() == kWin32WriteProtect ? kErrorAccessDenied
                                                                                          : kErrorRegistryIoFailed;
    }
#endif
    if (error == std::errc::operation_canceled) return kErrorCancelled;
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system) {
        return kErrorAccessDenied;
    }
    return kErrorRegistryIoFailed;
}

// The key at path; a root key is always there. Null when a key below it is missing.
RegKey* resolve(RegTree& tree, const std::vector<std::string>& path) {
    RegKey* key = &tree.subkey(path.front());
    for (std::size_t i = 1; key != nullptr && i < path.size(); ++i) key = key->findSubkey(path[i]);
    return key;
}

}  // namespace

FileRegistry::FileRegistry(std::filesystem::path file, StopWaiting stopWaiting)
    : file_(std::move(file)), stopWaiting_(stopWaiting) {
    reload();
}

void FileRegistry::reload(bool certain) {
    // Looked at before it is read: a stamp taken after the read could belong to a newer file.
    const std::optional<FileStamp> stamp = fileStamp(file_);
    if (!certain && loaded_ && stamp && stamp == seen_) return;
    std::string bytes = readFile(file_);
    seen_ = stamp;
    const Fingerprint read{bytes.size(), std::hash<std::string>{}(bytes)};
    if (read == loaded_) return;
    // The old tree goes before the new one is made, so that a large file's tree is held once.
    tree_ = RegTree();
    loaded_.reset();
    RegFileContent content = parseRegFile(std::move(bytes), text::utf8Of(file_));
    tree_ = std::move(content.tree);
    form_ = content.form;
    loaded_ = read;
}

std::string FileRegistry::location() const { return texts::fileLocation(text::utf8Of(file_)); }

std::optional<FileRegistry::Handle> FileRegistry::handle(Key key) const {
    if (const auto root = rootKeyWithHandle(key)) return Handle{{root->name}, ~0u};
    const auto open = handles_.find(key);
    if (open == handles_.end()) return std::nullopt;
    return open->second;
}

Status FileRegistry::pathBelow(Key key, const char* subKey, std::vector<std::string>& path) const {
    const auto parent = handle(key);
    if (!parent) return kErrorInvalidHandle;
    const std::string_view names = subKey == nullptr ? "" : subKey;
    if (!names.empty() && names.front() == '\\') return kErrorBadPathname;
    path = parent->path;
    // Empty names (doubled or trailing backslashes) are passed over, as the registry does.
    for (std::size_t start = 0; start < names.size();) {
        const std::size_t end = std::min(names.find('\\', start), names.size());
        if (end > start) path.emplace_back(names.substr(start, end - start));
        start = end + 1;
    }
    return kErrorSuccess;
}

Key FileRegistry::addHandle(std::vector<std::string> path, std::uint32_t access) {
    const Key key = nextHandle_;
    nextHandle_ += 4;
    handles_[key] = Handle{std::move(path), access};
    return key;
}

template <class Change>
Status FileRegistry::underLock(Change&& change) {
    try {
        if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path());
        const FileLock lock(lockFileFor(file_), stopWaiting_);
        reload(true);
        bool changed = false;
        Status status = change(tree_, changed);
        if (status == kErrorSuccess && changed) {
            try {
                const std::optional<std::string> content = formatRegFile(tree_, form_);
                if (content) {
                    replaceFile(file_, *content);
                    loaded_ = Fingerprint{content->size(), std::hash<std::string>{}(*content)};
                    seen_ = fileStamp(file_);
                } else {
                    status = kErrorNoUnicodeTranslation;
                    loaded_.reset();
                    reload(true);
                }
            } catch (...) {
                // What is held again matches the file, which kept its old content.
                loaded_.reset();
                reload(true);
                throw;
            }
        }
        return status;
    } catch (const RegistryFileError&) {
        throw;
    } catch (const std::system_error& error) {
        // The lock or the new file could not be written; the file stays as it was.
        return statusOf(error.code());
    }
}

Status FileRegistry::openKeyEx(Key key, const char* subKey, std::uint32_t access, Key* result) {
    std::vector<std::string> path;
    if (const Status status = pathBelow(key, subKey, path); status != kErrorSuccess) return status;
    reload();
    if (resolve(tree_, path) == nullptr) return kErrorFileNotFound;
    *result = addHandle(std::move(path), access);
    return kErrorSuccess;
}

Status FileRegistry::createKeyEx(Key key, const char* subKey, std::uint32_t /*options*/, std::uint32_t access,
                                 Key* result, std::uint32_t* disposition) {
    std::vector<std::string> path;
    if (const Status status = pathBelow(key, subKey, path); status != kErrorSuccess) return status;
    for (const std::string& name : path) {
        // A key header line of the file cannot hold a line break.
        if (name.find_first_of("\r\n") != std::string::npos) return kErrorInvalidParameter;
    }
    reload();
    bool created = false;
    if (resolve(tree_, path) == nullptr) {
        const Status status = underLock([&](RegTree& tree, bool& changed) {
            RegKey* parent = &tree.subkey(path.front());
            for (std::size_t i = 1; i < path.size(); ++i) {
                RegKey* existing = parent->findSubkey(path[i]);
                created = created || existing == nullptr;
                parent = existing != nullptr ? existing : &parent->subkey(path[i]);
            }
            changed = created;
            return kErrorSuccess;
        });
        if (status != kErrorSuccess) return status;
    }
    *result = addHandle(std::move(path), access);
    if (disposition != nullptr) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
    return kErrorSuccess;
}

Status FileRegistry::queryValueEx(Key key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) {
    const auto open = handle(key);
    if (!open) return kErrorInvalidHandle;
    if ((open->access & kKeyQueryValue) == 0) return kErrorAccessDenied;
    if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
    const RegKey* found = resolve(tree_, open->path);
    if (found == nullptr) return kErrorKeyDeleted;
    const RegValue* value = found->findValue(valueName == nullptr ? "" : valueName);
    if (value == nullptr) return kErrorFileNotFound;
    if (type != nullptr) *type = value->type;
    return answerData(answeredForm(value->type, value->data), data, size);
}

Status FileRegistry::setValueEx(Key key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) {
    const auto open = handle(key);
    if (!open) return kErrorInvalidHandle;
    if ((open->access & kKeySetValue) == 0) return kErrorAccessDenied;
    if (data == nullptr && size > 0) return kErrorInvalidParameter;
    RegValue value{valueName == nullptr ? "" : valueName, type, storedForm(type, data, size)};
    return underLock([&](RegTree& tree, bool& changed) {
        RegKey* target = resolve(tree, open->path);
        if (target == nullptr) return kErrorKeyDeleted;
        target->setValue(std::move(value));
        changed = true;
        return kErrorSuccess;
    });
}

Status FileRegistry::flushKey(Key key) {
    // Every change is on disk when the call that made it returns.
    return !handle(key) ? kErrorInvalidHandle : kErrorSuccess;
}

Status FileRegistry::enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* dataSize) {
    const auto open = handle(key);
    if (!open) return kErrorInvalidHandle;
    if ((open->access & kKeyQueryValue) == 0) return kErrorAccessDenied;
    if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr))
        return kErrorInvalidParameter;
    const RegKey* found = resolve(tree_, open->path);
    if (found == nullptr) return kErrorKeyDeleted;
    if (index >= found->values.size()) return kErrorNoMoreItems;

    const RegValue& value = found->values[index];
    return answerEnumerated(value.name, value.type, answeredForm(value.type, value.data), name, nameSize, type, data,
                            dataSize);
}

Status FileRegistry::closeKey(Key key) {
    if (rootKeyWithHandle(key)) return kErrorSuccess;
    return handles_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace settings
