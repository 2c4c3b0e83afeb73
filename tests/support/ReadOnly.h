#pragma once
// Makes a file or a folder read-only for every process, and writable again afterwards. A
// missing write permission does not stop root, so root gets the immutable attribute instead,
// which binds root as well (a folder then takes no new file, its files stay writable).

#include <filesystem>
#include <fstream>
#include <string>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace testing_support {

class ReadOnly {
public:
    explicit ReadOnly(std::string path) : path_(std::move(path)) {
#ifdef __linux__
        if (geteuid() == 0) {
            made_ = setImmutable(true);
            immutable_ = made_;
            return;
        }
#endif
        std::filesystem::permissions(path_, kWrite, std::filesystem::perm_options::remove);
        // Wine maps the read-only attribute onto the file modes, and those do not stop root.
        made_ = !writable();
    }
    ~ReadOnly() {
#ifdef __linux__
        if (immutable_) {
            setImmutable(false);
            return;
        }
#endif
        std::error_code ignored;
        std::filesystem::permissions(path_, kWrite, std::filesystem::perm_options::add, ignored);
    }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;
    bool made() const { return made_; }

private:
    static constexpr auto kWrite = std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write;

    bool writable() const {
        if (!std::filesystem::is_directory(path_)) {
            return std::fstream(path_, std::ios::in | std::ios::out | std::ios::binary).is_open();
        }
        const auto probe = std::filesystem::path(path_) / "schreibprobe";
        const bool created = std::ofstream(probe).is_open();
        std::error_code ignored;
        std::filesystem::remove(probe, ignored);
        return created;
    }
#ifdef __linux__
    bool setImmutable(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }
    bool immutable_ = false;
#endif
    std::string path_;
    bool made_ = false;
};

}  // namespace testing_support
