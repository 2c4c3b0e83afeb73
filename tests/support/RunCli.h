#pragma once
// Runs anschriftenwandler-cli as a user would, with stdout and stderr caught in files.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    // Console output of the Windows build ends its lines with CR LF.
    std::string plain;
    plain.reserve(s.size());
    for (char c : s) {
        if (c != '\r') plain += c;
    }
    return plain;
}

inline std::string quoted(const std::string& word) {
#ifdef _WIN32
    return "\"" + word + "\"";
#else
    std::string q = "'";
    for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
#endif
}

// Runs the tool with words; outDir receives the caught output files. shellPrefix goes in front
// of the command line (a POSIX shell's "ulimit -v …;", for instance).
inline CliRun runCli(const std::vector<std::string>& words, const std::string& outDir,
                     const std::string& shellPrefix = {}) {
    std::string command = shellPrefix + quoted(CLI_PATH);
    for (const auto& word : words) command += ' ' + quoted(word);
    const std::string outFile = outDir + "/cli.out";
    const std::string errFile = outDir + "/cli.err";
    command += " >" + quoted(outFile) + " 2>" + quoted(errFile);
#ifdef _WIN32
    command += " <NUL";
    command = "\"" + command + "\"";  // cmd.exe strips one pair of outer quotes
#else
    command += " </dev/null";
#endif
    CliRun run;
    int status = std::system(command.c_str());
#ifdef _WIN32
    // 9009: cmd.exe did not start the program at all; -1: cmd.exe itself did not start. Under
    // Wine both happened once in a while to a program that ran before and after; it is tried
    // twice more, and a program that is really missing still fails, saying why.
    for (int retry = 0; retry < 2 && (status == 9009 || status == -1); ++retry) status = std::system(command.c_str());
    const int startError = status == -1 ? errno : 0;
    run.exitCode = status;
#else
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    run.out = readWhole(outFile);
    run.err = readWhole(errFile);
#ifdef _WIN32
    if (startError) run.err += "cmd.exe not started: " + std::string(std::strerror(startError)) + '\n';
#endif
    return run;
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) result.push_back(line);
    return result;
}

}  // namespace testing_support
