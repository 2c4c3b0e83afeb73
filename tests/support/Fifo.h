#pragma once
// A FIFO in place of a file, for readers that must not wait on one. Should a reader hang in
// opening it all the same, a writer comes after a while and lets it go, so that the test
// fails on its checks instead of hanging.

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace testing_support {

class Fifo {
public:
    explicit Fifo(std::string path) : path_(std::move(path)) {
        made_ = ::mkfifo(path_.c_str(), 0600) == 0;
        if (made_) rescuer_ = std::thread([this] { rescue(); });
    }
    ~Fifo() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        finished_.notify_all();
        if (rescuer_.joinable()) rescuer_.join();
    }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;
    bool made() const { return made_; }

private:
    void rescue() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!finished_.wait_for(lock, std::chrono::seconds(10), [this] { return done_; })) {
            // Succeeds only while a reader waits in open(); closing at once gives it an empty file.
            const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        }
    }

    std::string path_;
    bool made_ = false;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread rescuer_;
};

}  // namespace testing_support

#endif
