// settings show: what the tool reads from the settings and would use, the database password
// masked. It only reads; nothing is written.

#include <cstdio>
#include <string>

#include "app/CnnString.h"
#include "app/Texts.h"
#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/SettingsToRead.h"
#include "app/cli/Texts.h"
#include "settings/RegTree.h"
#include "settings/RegistryOperations.h"

namespace cli {

namespace {

bool isPassword(const std::string& keyword) {
    return settings::sameName(keyword, "PWD") || settings::sameName(keyword, "Password");
}

void printLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::vector<settings::NamedText> masked(std::vector<settings::NamedText> pairs) {
    for (auto& [name, text] : pairs) {
        if (isPassword(name) && !text.empty()) text = "********";
    }
    return pairs;
}

void printPairs(const std::vector<settings::NamedText>& pairs) {
    if (pairs.size() == 1 && pairs.front() == settings::NamedText{}) {
        printLine(texts::kNoValues);
        return;
    }
    for (const auto& [name, text] : pairs)
        printLine("  " + (name.empty() ? std::string(texts::kDefaultValueName) : name) + "=" + text);
}

int show(settings::RegistryApi& registry) {
    using settings::kCurrentUser;
    const std::string profile = app::currentProfile(registry);
    const std::string connectionKey = app::connectionKeyOf(profile);
    const std::string importKey = app::importKeyOf(profile);

    printLine(std::string(texts::kSettingsLabel) + registry.location());
    printLine(std::string(texts::kRootLabel) + settings::Stammverzeichnis(registry));
    printLine(std::string(texts::kProfileLabel) + profile);
    printLine(texts::connectionKeywordsLabel(connectionKey));
    if (const auto keywords = settings::RegValuesList(registry, kCurrentUser, connectionKey)) {
        const auto shown = masked(*keywords);
        printPairs(shown);
        printLine(std::string(texts::kConnectionStringLabel) + app::joinConnectionKeywords(shown));
    } else {
        printLine(texts::kNone);
        std::fprintf(stderr, "%s\n", app::texts::kNoConnectionParameters.data());
    }
    printLine(texts::ownValuesLabel(importKey));
    for (const char* name : {"ADR-Pfad", "AdressNr0", "AdressNr1"}) {
        printLine(std::string("  ") + name + "=" + settings::RegValueRead(registry, kCurrentUser, importKey, name, ""));
    }
    return 0;
}

}  // namespace

int settingsCommand(const std::vector<std::string>& words) {
    return withUsage(texts::kSettingsHelp, [&] {
        const Arguments args(words, {"--registry"}, {});
        if (args.wantsHelp()) return printHelp(texts::kSettingsHelp);
        if (args.positional().size() != 1 || args.positional().front() != "show") {
            throw UsageError(std::string(texts::kSettingsWantsShow));
        }
        const auto registry = openSettingsToRead(args.value("--registry"));
        return show(*registry);
    });
}

}  // namespace cli
