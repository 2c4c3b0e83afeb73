// anschriftenwandler-cli settings show, run as a user runs it.

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

using testing_support::lines;
using testing_support::runCli;
using testing_support::TempDir;

TEST(SettingsCommand, ShowsWhatTheSampleSettingsHold) {
    const TempDir dir;
    const auto run = runCli({"settings", "show", "--registry", SAMPLES_DIR "/registry.reg"}, dir.path().string());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lines(run.out),
              (std::vector<std::string>{
                  "Einstellungen: Datei " SAMPLES_DIR "/registry.reg",
                  "Stammverzeichnis: C:\\Programme\\Norvel-Kanzleisoftware",
                  "Datenbankprofil: Demo",
                  "Verbindungsparameter "
                  "(HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Demo\\verbindung):",
                  "  Provider=SQLite",
                  "  Data Source=Datenpool.sqlite",
                  "Verbindungszeichenfolge: Provider=SQLite; Data Source=Datenpool.sqlite; ",
                  "Eigene Werte (HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Demo\\Import):",
                  "  ADR-Pfad=",
                  "  AdressNr0=",
                  "  AdressNr1=",
              }));
    EXPECT_EQ(run.err, "");
}

TEST(SettingsCommand, MasksPasswordsAndShowsTheToolsOwnValues) {
    const TempDir dir;
    const std::string file =
        dir.write("registry.reg",
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken]\r\n@=\"Kanzlei\"\r\n\r\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Kanzlei\\verbindung]\r\n"
                  "\"Provider\"=\"SQLOLEDB.1\"\r\n\"UID\"=\"sa\"\r\n\"pwd\"=\"Geheim1\"\r\n\"PassWord\"="
                  "\"Geheim2\"\r\n\"Timeout\"=dword:0000001e\r\n\r\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Kanzlei\\Import]\r\n"
                  "\"ADR-Pfad\"=\"D:\\\\RA-MICRO\\\\ADR\"\r\n\"AdressNr0\"=\"120\"\r\n\"AdressNr1\"=\"245\"\r\n");
    const auto run = runCli({"settings", "show", "--registry", file}, dir.path().string());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto shown = lines(run.out);
    ASSERT_EQ(shown.size(), 14u) << run.out;
    EXPECT_EQ(shown[2], "Datenbankprofil: Kanzlei");
    EXPECT_EQ(std::vector<std::string>(shown.begin() + 4, shown.end()),
              (std::vector<std::string>{
                  "  Provider=SQLOLEDB.1", "  UID=sa", "  pwd=********", "  PassWord=********", "  Timeout=30",
                  "Verbindungszeichenfolge: Provider=SQLOLEDB.1; UID=sa; pwd=********; PassWord=********; Timeout=30; ",
                  "Eigene Werte (HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Kanzlei\\Import):",
                  "  ADR-Pfad=D:\\RA-MICRO\\ADR", "  AdressNr0=120", "  AdressNr1=245"}));
    EXPECT_EQ(run.out.find("Geheim"), std::string::npos);
}

TEST(SettingsCommand, NamesMissingConnectionParametersMissingFilesAndBrokenFiles) {
    const TempDir dir;
    const auto missing = runCli({"settings", "show", "--registry", dir.file("fehlt.reg")}, dir.path().string());
    EXPECT_EQ(missing.exitCode, 1) << "no settings shown is no success";
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "Die Einstellungsdatei " + dir.file("fehlt.reg") +
                               " gibt es nicht. Mit --registry DATEI eine vorhandene .reg-Datei angeben.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("fehlt.reg"))) << "showing writes nothing";

    const std::string empty = dir.write("leer.reg", "Windows Registry Editor Version 5.00\r\n");
    const auto withoutProfile = runCli({"settings", "show", "--registry", empty}, dir.path().string());
    EXPECT_EQ(withoutProfile.exitCode, 0);
    EXPECT_EQ(withoutProfile.err, "Es sind keine Verbindungsparamter gespeichert.\n");

    const std::string broken =
        dir.write("kaputt.reg", "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\X]\nunsinn\n");
    const auto run = runCli({"settings", "show", "--registry", broken}, dir.path().string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Zeile 4"), std::string::npos) << run.err;

    EXPECT_EQ(runCli({"settings", "zeigen"}, dir.path().string()).exitCode, 2);
    EXPECT_EQ(runCli({"settings", "show", "--registry"}, dir.path().string()).exitCode, 2);
}

TEST(SettingsCommand, AValueOfATypeItCannotReadIsNamedNotShownEmpty) {
    const TempDir dir;
    const std::string file =
        dir.write("binaer.reg",
                  "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\"
                  "datenbanken]\n@=\"Kanzlei\"\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\"
                  "Kanzlei\\Import]\n\"ADR-Pfad\"=hex:44,3a,5c\n\"AdressNr0\"=dword:ffffffff\n");
    const auto run = runCli({"settings", "show", "--registry", file}, dir.path().string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Der Wert \"ADR-Pfad\" im Schlüssel HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\"
                           "datenbanken\\Kanzlei\\Import hat den Registrierungstyp REG_BINARY, den das Programm nicht "
                           "als Text lesen kann.\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.out.find("ADR-Pfad="), std::string::npos) << run.out;
}

#ifndef _WIN32
TEST(SettingsCommand, ReadsTheFileTheEnvironmentNames) {
    const TempDir dir;
    const std::string file =
        dir.write("env.reg",
                  "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware]\n"
                  "\"Stammverzeichnis\"=\"/opt/norvel\"\n");
    ::setenv("ANSCHRIFTENWANDLER_REGISTRY", file.c_str(), 1);
    const auto run = runCli({"settings", "show"}, dir.path().string());
    ::unsetenv("ANSCHRIFTENWANDLER_REGISTRY");
    ASSERT_GE(lines(run.out).size(), 2u) << run.err;
    EXPECT_EQ(lines(run.out)[0], "Einstellungen: Datei " + file);
    EXPECT_EQ(lines(run.out)[1], "Stammverzeichnis: /opt/norvel");
}

TEST(SettingsCommand, SaysWhichFileItLookedForWhenTheEnvironmentNamesNone) {
    const TempDir dir;
    const std::string file = dir.file("nicht-da.reg");
    ::setenv("ANSCHRIFTENWANDLER_REGISTRY", file.c_str(), 1);
    const auto run = runCli({"settings", "show"}, dir.path().string());
    ::unsetenv("ANSCHRIFTENWANDLER_REGISTRY");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Die Einstellungsdatei " + file + " gibt es nicht."), std::string::npos) << run.err;
}
#endif

}  // namespace
