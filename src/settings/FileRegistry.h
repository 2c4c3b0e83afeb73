#pragma once
// The registry kept in a .reg text file, for systems without the Windows registry and for
// tests. It answers every call as the Windows registry would: missing keys and values, the
// buffer rules, access rights of a handle, key creation of every missing level, names that
// compare without regard to case.
//
// Whenever a key is opened or created the file is looked at again, so that what other processes
// wrote is seen: it is read again only when it is another file or its size or time changed
// (every write replaces it by a new file), and parsed again only when its content changed. Every
// change takes the lock file (file + ".lock"), reads the file again under it, applies the change
// and replaces the file atomically, in the form it was read in (RegFile.h); two writers lose no
// value. A file that cannot be parsed throws RegistryFileError and is never written. A change
// that the file's form cannot hold (a REGEDIT4 file and a character Windows-1252 lacks) is
// answered with kErrorNoUnicodeTranslation and leaves the file as it was.
//
// One object serves one thread; threads and processes share the file through the lock.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/FileLock.h"
#include "settings/FileStamp.h"
#include "settings/RegFile.h"
#include "settings/RegTree.h"
#include "settings/RegistryApi.h"

namespace settings {

class FileRegistry final : public RegistryApi {
public:
    // Reads the file (a missing file is an empty registry). Throws RegistryFileError. A write
    // that waits for another writer's lock ends when stopWaiting answers true.
    explicit FileRegistry(std::filesystem::path file, StopWaiting stopWaiting = nullptr);

    Status openKeyEx(Key key, const char* subKey, std::uint32_t access, Key* result) override;
    Status queryValueEx(Key key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override;
    Status setValueEx(Key key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t size) override;
    Status createKeyEx(Key key, const char* subKey, std::uint32_t options, std::uint32_t access, Key* result,
                       std::uint32_t* disposition) override;
    Status flushKey(Key key) override;
    Status enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                     std::uint8_t* data, std::uint32_t* dataSize) override;
    Status closeKey(Key key) override;
    std::string location() const override;

    const std::filesystem::path& file() const { return file_; }

private:
    // An open key: the names from the root key down, and the rights it was opened with.
    struct Handle {
        std::vector<std::string> path;
        std::uint32_t access = 0;
    };

    // Reads the file again when it looks changed; under the lock (certain) whatever it looks like.
    void reload(bool certain = false);
    std::optional<Handle> handle(Key key) const;
    // The path of subKey below key; kErrorSuccess or the error to answer.
    Status pathBelow(Key key, const char* subKey, std::vector<std::string>& path) const;
    Key addHandle(std::vector<std::string> path, std::uint32_t access);
    // Runs change on the tree as the file holds it under the lock and writes the file when
    // change answers that it changed something.
    template <class Change>
    Status underLock(Change&& change);

    // The size and hash of the content the tree was read from or written as.
    struct Fingerprint {
        std::size_t size;
        std::size_t hash;
        bool operator==(const Fingerprint&) const = default;
    };

    std::filesystem::path file_;
    StopWaiting stopWaiting_;
    RegTree tree_;
    RegFileForm form_ = RegFileForm::Unicode;
    std::optional<Fingerprint> loaded_;
    // How the file looked when it was read or written last: its identity, size and times.
    std::optional<FileStamp> seen_;
    std::map<Key, Handle> handles_;
    Key nextHandle_ = 0x100;
};

}  // namespace settings
