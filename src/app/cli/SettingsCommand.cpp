// settings show: what the tool reads from the settings and would use, the database password
// masked. It only reads; nothing is written.

#include <cstdio>
#include <string>

#include "app/CnnString.h"
#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "settings/OpenRegistry.h"
#include "settings/RegTree.h"
#include "settings/RegistryOperations.h"

namespace cli {

namespace {

constexpr const char* kSettingsHelp =
    "Aufruf: anschriftenwandler-cli settings show [--registry FILE]\n"
    "Zeigt, was das Programm aus den Einstellungen liest: wo sie stehen, das Stammverzeichnis,\n"
    "das Datenbankprofil, dessen Verbindungsparameter und die Verbindungszeichenfolge daraus\n"
    "(Kennwörter verdeckt) und die eigenen Werte des Programms (ADR-Pfad, AdressNr0, AdressNr1).\n"
    "  --registry FILE   die Einstellungen aus der .reg-Datei FILE lesen; ohne die Option aus der\n"
    "                    Datei, die ANSCHRIFTENWANDLER_REGISTRY nennt, sonst unter Windows aus der\n"
    "                    Registrierung, sonst aus ~/.config/anschriftenwandler/registry.reg\n";

constexpr const char* kNoConnection = "Es sind keine Verbindungsparamter gespeichert.";

bool isPassword(const std::string& keyword) {
    return settings::sameName(keyword, "PWD") || settings::sameName(keyword, "Password");
}

void printLine(const std::string& line) {
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
        printLine("  (keine Werte)");
        return;
    }
    for (const auto& [name, text] : pairs)
        printLine("  " + (name.empty() ? std::string("(Standard)") : name) + "=" + text);
}

int show(settings::RegistryApi& registry) {
    using settings::kCurrentUser;
    const std::string databases = std::string(settings::kSettingsRoot) + "\\datenbanken";
    const std::string profile = settings::RegValueRead(registry, kCurrentUser, databases, "", "");
    const std::string connectionKey = databases + "\\" + profile + "\\verbindung";
    const std::string importKey = databases + "\\" + profile + "\\Import";

    printLine("Einstellungen: " + registry.location());
    printLine("Stammverzeichnis: " + settings::Stammverzeichnis(registry));
    printLine("Datenbankprofil: " + profile);
    printLine("Verbindungsparameter (HKEY_CURRENT_USER\\" + connectionKey + "):");
    if (const auto keywords = settings::RegValuesList(registry, kCurrentUser, connectionKey)) {
        const auto shown = masked(*keywords);
        printPairs(shown);
        printLine("Verbindungszeichenfolge: " + app::joinConnectionKeywords(shown));
    } else {
        printLine("  (keine)");
        std::fprintf(stderr, "%s\n", kNoConnection);
    }
    printLine("Eigene Werte (HKEY_CURRENT_USER\\" + importKey + "):");
    for (const char* name : {"ADR-Pfad", "AdressNr0", "AdressNr1"}) {
        printLine(std::string("  ") + name + "=" + settings::RegValueRead(registry, kCurrentUser, importKey, name, ""));
    }
    return 0;
}

}  // namespace

int settingsCommand(const std::vector<std::string>& words) {
    return withUsage(kSettingsHelp, [&] {
        const Arguments args(words, {"--registry"}, {});
        if (args.wantsHelp()) return printText(kSettingsHelp);
        if (args.positional().size() != 1 || args.positional().front() != "show") {
            throw UsageError("settings erwartet den Unterbefehl show.");
        }
        const auto registry = settings::openRegistry(args.value("--registry"), &interruptRequested);
        return show(*registry);
    });
}

}  // namespace cli
