// The settings file at the size of a whole regedit export: how long reading it and writing one
// value into it take, and how much memory they need.
//
//   anschriftenwandler-registry-bench generate FILE KEYS   a UTF-16LE export, KEYS keys under one parent
//   anschriftenwandler-registry-bench read FILE             reads it
//   anschriftenwandler-registry-bench write FILE            reads it and writes one value into it

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/FileRegistry.h"
#include "settings/RegistryOperations.h"
#include "text/Unicode.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kParent = "Software\\Norvel-Kanzleisoftware\\Export";

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

rusage usage() {
    rusage now{};
    getrusage(RUSAGE_SELF, &now);
    return now;
}

// Processor time (user and system): on a shared machine it tells the work apart from waiting.
double cpuSeconds() {
    const rusage now = usage();
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(now.ru_utime) + seconds(now.ru_stime);
}

void appendUtf16(std::string& out, const std::string& utf8) {
    for (const char16_t unit : text::utf8ToUtf16(utf8)) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
}

int generate(const std::filesystem::path& file, long keys) {
    std::ofstream out(file, std::ios::binary);
    std::string chunk = "\xFF\xFE";
    appendUtf16(chunk, "Windows Registry Editor Version 5.00\r\n");
    char number[24];
    for (long key = 0; key < keys; ++key) {
        std::snprintf(number, sizeof number, "%07ld", key);
        appendUtf16(chunk, std::string("\r\n[HKEY_CURRENT_USER\\") + kParent + "\\K" + number +
                               "]\r\n\"Name\"=\"Müller & Partner " + number + "\"\r\n\"Nummer\"=dword:" + number +
                               "0\r\n");
        if (chunk.size() > (1u << 20)) {
            out << chunk;
            chunk.clear();
        }
    }
    out << chunk;
    return out ? 0 : 1;
}

int run(const std::filesystem::path& file, bool write) {
    const auto size = static_cast<double>(std::filesystem::file_size(file));
    const auto start = Clock::now();
    settings::FileRegistry registry(file);
    const double readSeconds = secondsSince(start);
    const double readCpu = cpuSeconds();
    const std::string last =
        settings::RegValueRead(registry, settings::kCurrentUser, std::string(kParent) + "\\K0000000", "Name", "fehlt");
    std::printf("file %.1f MB, read %.2f s (processor %.2f s)", size / 1e6, readSeconds, readCpu);
    if (write) {
        const auto writeStart = Clock::now();
        const double cpuStart = cpuSeconds();
        const settings::Status status = settings::RegValueWrite(
            registry, settings::kCurrentUser, std::string(kParent) + "\\K0000000", "Ort", "Łódź", settings::kRegSz);
        std::printf(", one value written %.2f s (processor %.2f s, status %d)", secondsSince(writeStart),
                    cpuSeconds() - cpuStart, status);
    }
    const double peak = static_cast<double>(usage().ru_maxrss) / 1024.0;
    std::printf(", peak %.0f MiB = %.2f x the file; first key's Name: %s\n", peak, peak * 1048576.0 / size,
                last.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "generate" && argc == 4) return generate(argv[2], std::stol(argv[3]));
    if ((mode == "read" || mode == "write") && argc == 3) return run(argv[2], mode == "write");
    std::fprintf(stderr, "Aufruf: %s generate DATEI SCHLÜSSEL | read DATEI | write DATEI\n", argv[0]);
    return 2;
}
