// anschriftenwandler.exe driven from outside as a user would drive it: a profile in the
// registry whose connection keywords open a Datenpool through the SQLite3 ODBC driver, the
// acceptance sample as ADR directory, clicks on the buttons, answers to the message boxes.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "acceptance/JsonRow.h"
#include "app/ListLine.h"
#include "app/win32/Layout.h"
#include "app/win32/Utf16.h"
#include "db/sqlite/SqliteConnection.h"
#include "e2e/HostPaths.h"
#include "e2e/Profile.h"
#include "e2e/RemoteWindow.h"
#include "support/HostPath.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

using namespace app::win32;
using e2e::MessageBoxSeen;
using namespace std::chrono_literals;

const std::string kSample = std::string(ACCEPTANCE_DIR) + "/random500";
constexpr const char* kProfile = "Anschriftenwandler-Test";
constexpr auto kConversionTimeout = 300s;
constexpr int kMissingFiles = 19;
constexpr std::size_t kConvertedAddresses = 492;

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

std::vector<std::string> expectedList() {
    return testing_support::lines(testing_support::readWhole(kSample + "/expected_list.txt"));
}

// Waits until a file named by $ANSCHRIFTENWANDLER_E2E_SHOTS (a host folder) says the screenshot of window was taken.
void offerScreenshot(HWND window) {
    const char* folder = std::getenv("ANSCHRIFTENWANDLER_E2E_SHOTS");
    if (!folder || !*folder) return;
    const std::filesystem::path shots = e2e::windowsPathOf(folder);
    RECT frame{};
    GetWindowRect(window, &frame);
    {
        std::ofstream ready(shots / "window.ready.tmp");
        ready << frame.right - frame.left << 'x' << frame.bottom - frame.top << '+' << frame.left << '+' << frame.top << '\n';
    }
    std::filesystem::rename(shots / "window.ready.tmp", shots / "window.ready");
    e2e::waitUntil([&] { return std::filesystem::exists(shots / "window.taken"); }, 30s);
}

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetProcessDPIAware();
        dir_ = new testing_support::TempDir;
        const auto run = testing_support::runCli({"init-db", datenpool()}, dir_->path().string());
        initDbExitCode_ = run.exitCode;
        initDbMessages_ = run.err;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        // As the acceptance test: a clone that does not lie beside ../shared has no sample.
        if (!std::filesystem::exists(kSample)) GTEST_SKIP() << "no acceptance sample at " << kSample;
        ASSERT_EQ(initDbExitCode_, 0) << initDbMessages_;
        e2e::writeProfile(kProfile, {{"Driver", "SQLite3"}, {"Database", testing_support::hostPath(datenpool())}},
                          {{"ADR-Pfad", adrDirectory()}});
    }

    static std::string datenpool() { return dir_->file("datenpool.db"); }
    static std::string adrDirectory() { return std::filesystem::path(kSample + "/ADR").make_preferred().string(); }

    // Starts the program with the command line and answers its process.
    void start(const std::string& arguments = "") {
        std::string commandLine = quoted(std::filesystem::path(WINDOW_PATH).make_preferred().string());
        if (!arguments.empty()) commandLine += " " + arguments;
        program_ = std::make_unique<e2e::RunningProgram>(commandLine);
    }

    // Starts the program for interactive work and waits for its window with all controls.
    void open() {
        start();
        window_ = e2e::waitForWindow(program_->id(), kWindowClass, kCmdImport, 60s);
        ASSERT_NE(window_, nullptr) << "the window did not appear";
    }

    HWND control(int id) const { return GetDlgItem(window_, id); }
    std::string textOf(int id) const { return e2e::textOf(control(id)); }

    // Answers message boxes until the conversion button reads "konvertieren" again.
    std::vector<MessageBoxSeen> waitForConversionEnd() {
        std::vector<MessageBoxSeen> boxes;
        const bool ended = e2e::waitUntil(
            [&] {
                if (auto box = e2e::answerMessageBox(program_->id())) boxes.push_back(*box);
                return textOf(kCmdStart) == "konvertieren";
            },
            kConversionTimeout);
        EXPECT_TRUE(ended) << "the conversion did not end";
        return boxes;
    }

    std::vector<MessageBoxSeen> convert() {
        e2e::click(control(kCmdStart));
        return waitForConversionEnd();
    }

    // Waits for the next message box and answers it with the button.
    MessageBoxSeen answerNextBox(int buttonId) {
        std::optional<MessageBoxSeen> box;
        EXPECT_TRUE(e2e::waitUntil([&] { return (box = e2e::answerMessageBox(program_->id(), buttonId)).has_value(); }, 60s))
            << "no message box appeared";
        return box.value_or(MessageBoxSeen{});
    }

    // Closes the window as its close box would, and answers the exit code.
    std::optional<DWORD> closeWindow() {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        return program_->waitForExit(60s);
    }

    // The list lines of the staging table's rows (all, or those of a WHERE condition), read past the program.
    static std::vector<std::string> stagingListing(const std::string& condition = "") {
        const auto connection = db::SqliteConnection::open(datenpool());
        std::vector<std::string> listing;
        for (auto rows = connection->execute(condition.empty() ? "AdressenImport" : "AdressenImport WHERE " + condition);
             !rows->atEnd(); rows->moveNext()) {
            listing.push_back(app::listLine(*rows));
        }
        return listing;
    }

    static testing_support::TempDir* dir_;
    static int initDbExitCode_;
    static std::string initDbMessages_;
    std::unique_ptr<e2e::RunningProgram> program_;
    HWND window_ = nullptr;
};

testing_support::TempDir* WindowTest::dir_ = nullptr;
int WindowTest::initDbExitCode_ = -1;
std::string WindowTest::initDbMessages_;

TEST_F(WindowTest, OpensWithEveryControlOfTheLayoutAndTheSettingsFilledIn) {
    e2e::writeProfile(kProfile, {{"Driver", "SQLite3"}, {"Database", testing_support::hostPath(datenpool())}},
                      {{"ADR-Pfad", adrDirectory()}, {"AdressNr0", "5"}, {"AdressNr1", "9"}});
    open();
    EXPECT_EQ(e2e::textOf(window_), "Norvel-Kanzleisoftware - Adressimport (" + std::string(PROJECT_VERSION) + ") ");
    const LONG style = GetWindowLongW(window_, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "the window is not meant to be resized";
    EXPECT_NE(e2e::sendWithTimeout(window_, WM_GETICON, ICON_BIG, 0), 0) << "no application icon";
    EXPECT_NE(e2e::sendWithTimeout(window_, WM_GETICON, ICON_SMALL, 0), 0) << "no application icon";

    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("layout at %d x %d dots per inch\n", dpiX, dpiY);
    RECT client{};
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right, twipsToPixels(kClientWidthTwips, dpiX));
    EXPECT_EQ(client.bottom, twipsToPixels(kClientHeightTwips, dpiY));

    for (const ControlLayout& layout : kControls) {
        SCOPED_TRACE("control " + std::to_string(layout.id) + " \"" + layout.caption + "\"");
        HWND handle = control(layout.id);
        ASSERT_NE(handle, nullptr);
        RECT at{};
        GetWindowRect(handle, &at);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&at), 2);
        const Twips position = positionInWindow(layout);
        EXPECT_EQ(at.left, twipsToPixels(position.left, dpiX));
        EXPECT_EQ(at.top, twipsToPixels(position.top, dpiY));
        EXPECT_EQ(at.right, twipsToPixels(position.left + position.width, dpiX));
        EXPECT_EQ(at.bottom, twipsToPixels(position.top + position.height, dpiY));
        // Start-up switches the address list's and the undo's buttons (below).
        if (layout.id != kCmdAdressen && layout.id != kCmdUndo) {
            EXPECT_EQ(IsWindowEnabled(handle) != FALSE, layout.enabled);
        }
        if (layout.kind != ControlKind::TextBox && layout.kind != ControlKind::TargetLabel) {
            EXPECT_EQ(e2e::textOf(handle), layout.caption);
        }
    }

    // The tab key follows the tab indices.
    std::vector<const ControlLayout*> byTabIndex;
    for (const ControlLayout& layout : kControls) byTabIndex.push_back(&layout);
    std::sort(byTabIndex.begin(), byTabIndex.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<int> expectedOrder;
    for (const ControlLayout* layout : byTabIndex) expectedOrder.push_back(layout->id);
    std::vector<int> order;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(order, expectedOrder);

    EXPECT_EQ(GetWindowLongW(control(kLstImport), GWL_STYLE) & LBS_SORT, 0) << "the list keeps the order of the rows";
    EXPECT_EQ(e2e::sendWithTimeout(control(kScrFortschritt), PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(e2e::sendWithTimeout(control(kScrFortschritt), PBM_GETRANGE, FALSE, 0), kProgressMaximum);
    EXPECT_EQ(textOf(kTxtADR), adrDirectory());
    const std::string target = textOf(kLblDatenpool);
    EXPECT_TRUE(target.size() > 17 && target.ends_with(" / AdressenImport")) << target;
    EXPECT_FALSE(IsWindowEnabled(control(kCmdAdressen))) << "no main application, no address list";

    // The id range of the last import came from the settings and switched the undo on; a changed
    // id field switches it again.
    EXPECT_EQ(textOf(kTxtIDVon), "5");
    EXPECT_EQ(textOf(kTxtIdBis), "9");
    EXPECT_TRUE(IsWindowEnabled(control(kCmdUndo)));
    e2e::sendWithTimeout(control(kTxtIdBis), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"4"));
    EXPECT_FALSE(IsWindowEnabled(control(kCmdUndo))) << "the range 5 to 4 holds no id";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, TheFolderButtonTakesTheFolderChosenInThePicker) {
    // A trailing backslash that the picker's answer does not have shows that its answer was taken.
    e2e::writeProfile(kProfile, {{"Driver", "SQLite3"}, {"Database", testing_support::hostPath(datenpool())}},
                      {{"ADR-Pfad", adrDirectory() + "\\"}});
    open();
    ASSERT_EQ(textOf(kTxtADR), adrDirectory() + "\\");

    e2e::click(control(kCmdOpen));
    HWND picker = nullptr;
    ASSERT_TRUE(e2e::waitUntil([&] { return (picker = e2e::openDialog(program_->id())) != nullptr; }, 30s));
    e2e::closeDialog(picker, IDCANCEL);
    EXPECT_EQ(textOf(kTxtADR), adrDirectory() + "\\") << "cancelled: the field stays";

    e2e::click(control(kCmdOpen));
    ASSERT_TRUE(e2e::waitUntil([&] { return (picker = e2e::openDialog(program_->id())) != nullptr; }, 30s));
    e2e::closeDialog(picker, IDOK);
    EXPECT_TRUE(e2e::waitUntil([&] { return textOf(kTxtADR) == adrDirectory(); }, 10s)) << textOf(kTxtADR);
    EXPECT_EQ(e2e::toolValue(kProfile, "ADR-Pfad"), adrDirectory());
    EXPECT_FALSE(e2e::waitUntil([&] { return e2e::answerMessageBox(program_->id()).has_value(); }, 1s))
        << "the chosen folder holds address data";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, ConvertsTheSampleAndListsEveryAddress) {
    open();
    const auto boxes = convert();

    ASSERT_EQ(boxes.size(), static_cast<std::size_t>(kMissingFiles));
    for (const MessageBoxSeen& box : boxes) {
        EXPECT_EQ(box.title, "Anschriftenwandler");
        EXPECT_TRUE(box.text.starts_with("Datei nicht gefunden")) << box.text;
    }
    EXPECT_EQ(e2e::listLines(control(kLstImport)), expectedList());
    EXPECT_EQ(textOf(kLblListenkommentar),
              std::to_string(kConvertedAddresses) + " Adressen konvertiert nach " + textOf(kLblDatenpool) + ":");
    EXPECT_TRUE(IsWindowEnabled(control(kCmdImport)));
    EXPECT_EQ(e2e::sendWithTimeout(control(kScrFortschritt), PBM_GETPOS, 0, 0), kProgressMaximum);
    EXPECT_EQ(e2e::toolValue(kProfile, "ADR-Pfad"), adrDirectory());
    offerScreenshot(window_);

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, AClickOnAbbrechenCancelsASecondRunWhichListsWhatItStaged) {
    open();
    convert();
    ASSERT_EQ(e2e::listLines(control(kLstImport)).size(), kConvertedAddresses);

    e2e::click(control(kCmdStart));
    ASSERT_TRUE(e2e::waitUntil([&] { return textOf(kCmdStart) == "abbrechen"; }, 60s));
    e2e::click(control(kCmdStart));
    waitForConversionEnd();

    const auto listed = e2e::listLines(control(kLstImport));
    EXPECT_LT(listed.size(), kConvertedAddresses) << "the run was not cancelled";
    EXPECT_EQ(listed, stagingListing());
    const auto expected = expectedList();
    EXPECT_TRUE(std::equal(listed.begin(), listed.end(), expected.begin())) << "the first addresses of the sample";
    EXPECT_EQ(textOf(kLblListenkommentar), std::to_string(listed.size()) + " Adressen konvertiert nach " +
                                               textOf(kLblDatenpool) + " (Konvertierung abgebrochen):");
    EXPECT_TRUE(IsWindowEnabled(control(kCmdImport))) << "records had been started";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, ImportsTheConvertedAddressesAndUndoesTheImport) {
    {
        // The office's own addresses, which neither the import nor its undo may touch.
        const auto pool = db::SqliteConnection::open(datenpool());
        pool->execute("DELETE FROM Adressen");
        pool->execute("DELETE FROM sqlite_sequence WHERE name = 'Adressen'");
        pool->execute("INSERT INTO Adressen (nachname) VALUES ('Kanzlei 1'), ('Kanzlei 2'), ('Kanzlei 3')");
    }
    const auto addresses = [] {
        return db::SqliteConnection::open(datenpool())->execute("SELECT COUNT(*) FROM Adressen")->value(0).integer();
    };
    open();
    convert();
    const std::string lastId = std::to_string(3 + kConvertedAddresses);

    e2e::click(control(kCmdImport));
    const MessageBoxSeen question = answerNextBox(IDOK);
    EXPECT_TRUE(question.text.starts_with("Hierdurch werden " + std::to_string(kConvertedAddresses) +
                                          " konvertierte Adressen in die Adressverwaltung der Datenbank \"" + kProfile + "\""))
        << question.text;
    const MessageBoxSeen imported = answerNextBox(IDOK);
    EXPECT_EQ(imported.title, "Norvel-Kanzleisoftware");
    EXPECT_EQ(imported.text, std::to_string(kConvertedAddresses) + " Adressen mit IDs 4 bis " + lastId +
                                 " wurden in die Adressverwaltung importiert.");
    EXPECT_EQ(addresses(), 3 + static_cast<std::int64_t>(kConvertedAddresses));
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr0"), "3");
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr1"), lastId);
    EXPECT_EQ(textOf(kTxtIDVon), "3");
    EXPECT_EQ(textOf(kTxtIdBis), lastId);
    EXPECT_FALSE(IsWindowEnabled(control(kCmdImport))) << "the same addresses once only";
    EXPECT_TRUE(IsWindowEnabled(control(kCmdUndo)));

    e2e::click(control(kCmdUndo));
    const MessageBoxSeen asked = answerNextBox(IDYES);
    EXPECT_EQ(asked.text, "Hierdurch werden " + std::to_string(kConvertedAddresses) + " Adressen mit IDs 4 bis " + lastId +
                              " aus der Adressverwaltung der Datenbank \"" + kProfile + "\" gelöscht.\r\n\r\nWirklich löschen?");
    const MessageBoxSeen undone = answerNextBox(IDOK);
    EXPECT_EQ(undone.text, "Die importierten Adressen 3 bis " + lastId + " wurden wieder wieder gelöscht.");
    EXPECT_EQ(addresses(), 3);
    // The range is cleared after the message has been answered.
    EXPECT_TRUE(e2e::waitUntil([&] { return textOf(kTxtIDVon).empty(); }, 10s));
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr0"), "");
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr1"), "");
    EXPECT_EQ(textOf(kTxtIDVon), "");
    EXPECT_FALSE(IsWindowEnabled(control(kCmdUndo)));

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, DuringAConversionOnlyTheCancelActsAndAfterItTheControlsAreBack) {
    // A big directory: 99 address files of 1,000 records each.
    const std::filesystem::path big = dir_->path() / "GROSS";
    std::filesystem::create_directories(big);
    for (int file = 1; file <= 99; ++file) {
        char name[4];
        std::snprintf(name, sizeof name, "%02dA", file);
        std::ofstream out(big / name, std::ios::binary);
        for (int record = 1; record <= 1000; ++record) {
            out << record * 100 + file << "*\r\n1\r\nVorname\r\nName " << record << "\r\nWeg " << file
                << "\r\n12345 Ort\r\n030 " << record << "\r\n\r\n";
        }
    }
    e2e::writeProfile(kProfile, {{"Driver", "SQLite3"}, {"Database", testing_support::hostPath(datenpool())}},
                      {{"ADR-Pfad", big.string()}, {"AdressNr0", "5"}, {"AdressNr1", "9"}});
    open();
    const std::vector<int> quiet = {kCmdImport, kCmdUndo, kCmdOpen, kTxtADR, kCmdAdressen};
    const auto enabled = [&] {
        std::vector<bool> states;
        for (const int id : quiet) states.push_back(IsWindowEnabled(control(id)) != FALSE);
        return states;
    };
    const std::vector<bool> before = enabled();
    EXPECT_EQ(before, (std::vector<bool>{false, true, true, true, false})) << "import and address list start disabled";

    e2e::click(control(kCmdStart));
    ASSERT_TRUE(e2e::waitUntil([&] { return textOf(kCmdStart) == "abbrechen"; }, 60s));
    EXPECT_EQ(enabled(), std::vector<bool>(quiet.size(), false)) << "only the cancel acts during the run";
    EXPECT_TRUE(IsWindowEnabled(control(kCmdStart)));
    e2e::click(control(kCmdStart));
    EXPECT_TRUE(waitForConversionEnd().empty()) << "every address file is there";

    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, false})) << "back as before; the import follows the run";
    EXPECT_TRUE(textOf(kLblListenkommentar).ends_with(" (Konvertierung abgebrochen):")) << textOf(kLblListenkommentar);
    EXPECT_LT(stagingListing().size(), 99000u) << "the run was not cancelled";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, ClosingDuringAConversionCancelsItAndEnds) {
    open();
    e2e::click(control(kCmdStart));
    ASSERT_TRUE(e2e::waitUntil([&] { return textOf(kCmdStart) == "abbrechen"; }, 60s));
    PostMessageW(window_, WM_CLOSE, 0, 0);
    std::optional<DWORD> exitCode;
    e2e::waitUntil(
        [&] {
            e2e::answerMessageBox(program_->id());
            exitCode = program_->waitForExit(0ms);
            return exitCode.has_value();
        },
        kConversionTimeout);
    EXPECT_EQ(exitCode, 0U);
    EXPECT_LT(stagingListing().size(), kConvertedAddresses) << "the run was not cancelled";
}

TEST_F(WindowTest, AnAddressNumberOnTheCommandLineConvertsThatAddressWithoutShowingTheWindow) {
    std::ifstream rows(kSample + "/expected.jsonl");
    std::string firstRow;
    std::getline(rows, firstRow);
    const auto number = static_cast<long long>(acceptance::parseJsonRow(firstRow).at("fremdid").number());
    const std::string condition = "fremdid=" + std::to_string(number);
    {
        const auto connection = db::SqliteConnection::open(datenpool());
        connection->execute("DELETE FROM AdressenImport WHERE " + condition);
    }

    start(std::to_string(number));
    bool windowShown = false;
    std::optional<DWORD> exitCode;
    e2e::waitUntil(
        [&] {
            windowShown = windowShown || !e2e::visibleWindowsOf(program_->id()).empty();
            exitCode = program_->waitForExit(0ms);
            return exitCode.has_value();
        },
        kConversionTimeout);
    EXPECT_EQ(exitCode, 0U);
    EXPECT_FALSE(windowShown);
    EXPECT_EQ(stagingListing(condition), std::vector<std::string>{expectedList().front()});
}

TEST_F(WindowTest, ACommandLineOfLettersEndsWithoutConvertingAnything) {
    const auto before = stagingListing();
    start("abc");
    EXPECT_EQ(program_->waitForExit(60s), 0U);
    EXPECT_EQ(stagingListing(), before);
}

TEST_F(WindowTest, WithoutConnectionParametersTheTargetShowsTheProvidersError) {
    e2e::writeProfile(kProfile, {}, {{"ADR-Pfad", adrDirectory()}});
    start();
    std::optional<MessageBoxSeen> box;
    ASSERT_TRUE(e2e::waitUntil([&] { return (box = e2e::answerMessageBox(program_->id())).has_value(); }, 60s));
    EXPECT_EQ(box->title, "Norvel-Kanzleisoftware");
    EXPECT_EQ(box->text, "Es sind keine Verbindungsparamter gespeichert.");
    window_ = e2e::waitForWindow(program_->id(), kWindowClass, kCmdImport, 60s);
    ASSERT_NE(window_, nullptr);
    EXPECT_FALSE(textOf(kLblDatenpool).empty()) << "the provider's error text";
    EXPECT_FALSE(IsWindowEnabled(control(kCmdStart)));
    EXPECT_EQ(textOf(kTxtADR), "") << "the settings are not read without a connection";
    EXPECT_EQ(closeWindow(), 0U);
}

}  // namespace
