// anschriftenwandler-cli: the conversion without a window, for scripted migrations.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/BuildVersion.h"
#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "app/cli/Platform.h"
#include "app/cli/Texts.h"
#include "db/StopWaiting.h"

#ifdef _WIN32
#include "text/Unicode.h"
#endif

namespace {

int run(const std::vector<std::string>& args) {
    cli::prepareConsole();
    cli::bufferStdoutUnlessConsole();
    cli::catchInterrupt();
    db::setStopWaiting(&cli::interruptRequested);
    if (args.empty()) {
        std::fputs(cli::texts::kHelp.data(), stderr);
        return 2;
    }
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") return cli::printHelp(cli::texts::kHelp);
    if (command == "--version") {
        const app::Version& v = app::kBuildVersion;
        const std::string version = "anschriftenwandler-cli " + std::to_string(v.major) + "." +
                                    std::to_string(v.minor) + "." + std::to_string(v.revision) + "\n";
        return cli::printHelp(version);
    }
    if (command == "init-db") return cli::initDb(rest);
    if (command == "convert") return cli::convert(rest);
    if (command == "convert-one") return cli::convertOne(rest);
    if (command == "settings") return cli::settingsCommand(rest);
    if (command == "import") return cli::importCommand(rest);
    if (command == "undo") return cli::undoCommand(rest);
    if (command == "export") return cli::exportCommand(rest);
    if (command == "check") return cli::checkCommand(rest);
    std::fprintf(stderr, "%s\n", cli::texts::unknownCommand(command).c_str());
    std::fputs(cli::texts::kHelp.data(), stderr);
    return 2;
}

}  // namespace

#ifdef _WIN32
// The words arrive as UTF-16 so that paths with umlauts survive; inside they are UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(text::fromWide(argv[i]));
    return run(args);
}
#else
int main(int argc, char** argv) { return run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
