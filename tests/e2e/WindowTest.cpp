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
#include "app/Texts.h"
#include "app/win32/Fonts.h"
#include "app/win32/Layout.h"
#include "app/win32/SystemServices.h"
#include "db/sqlite/SqliteConnection.h"
#include "e2e/HostPaths.h"
#include "e2e/Profile.h"
#include "e2e/RemoteWindow.h"
#include "support/HostPath.h"
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "text/NumberText.h"
#include "text/Unicode.h"

namespace {

using namespace app;
using namespace app::win32;
using e2e::MessageBoxSeen;
using namespace std::chrono_literals;

const std::string kSample = std::string(ACCEPTANCE_DIR) + "/random500";
constexpr const char* kProfile = "Anschriftenwandler-Test";
constexpr auto kConversionTimeout = 300s;
constexpr int kMissingFiles = 19;
constexpr std::size_t kConvertedAddresses = 492;
constexpr int kBenchmarkRuns = 5;
constexpr int kLongRecords = 60000;

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// count address records in ADR bytes, numbered 101, 201, ...: "<surname> <n>, Herrn, 12345 Ort, <street>".
std::string addressRecords(int count, const std::string& surname, const std::string& street) {
    std::string bytes;
    for (int n = 1; n <= count; ++n) {
        bytes += std::to_string(n * 100 + 1) + "*\r\n1\r\nHans\r\n" + surname + " " + std::to_string(n) + "\r\n" +
                 street + "\r\n12345 Ort\r\n\r\n\r\n\r\n";
    }
    return bytes;
}

int screenDotsPerInch() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Text as drawn in the window's font of that kind, at the screen's resolution.
class TextMeasure {
public:
    explicit TextMeasure(FontKind kind) : dc_(CreateCompatibleDC(nullptr)) {
        const LOGFONTW font = fontOf(kind, screenDotsPerInch());
        font_ = CreateFontIndirectW(&font);
        SelectObject(dc_, font_);
    }
    ~TextMeasure() {
        DeleteDC(dc_);
        DeleteObject(font_);
    }
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    SIZE extent(const std::string& text) const {
        const std::wstring wide = text::toWide(text);
        SIZE size{};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        return size;
    }
    int lineHeight() const {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        return metrics.tmHeight;
    }

private:
    HDC dc_;
    HFONT font_ = nullptr;
};

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
        ready << frame.right - frame.left << 'x' << frame.bottom - frame.top << '+' << frame.left << '+' << frame.top
              << '\n';
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
    // An ADR directory of every address file "01A" to "99A", the first holding firstFile, the others empty.
    static std::string writeAdrDirectory(const std::string& name, const std::string& firstFile) {
        std::filesystem::create_directories(dir_->path() / name);
        dir_->write(name + "/01A", firstFile);
        for (int number = 2; number <= 99; ++number) {
            dir_->write(name + "/" + (number < 10 ? "0" : "") + std::to_string(number) + "A", "");
        }
        return std::filesystem::path(dir_->file(name)).make_preferred().string();
    }
    // An ADR directory of kLongRecords records, too many to convert before a click lands; written once.
    static std::string longAdrDirectory() {
        static const std::string directory =
            writeAdrDirectory("ADR-lang", addressRecords(kLongRecords, "Meier", "Weg 1"));
        return directory;
    }
    void useAdrDirectory(const std::string& directory) {
        e2e::writeProfile(kProfile, {{"Driver", "SQLite3"}, {"Database", testing_support::hostPath(datenpool())}},
                          {{"ADR-Pfad", directory}});
    }
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
        window_ = e2e::waitForWindow(program_->id(), kWindowClass, idOf(Control::cmdImport), 60s);
        ASSERT_NE(window_, nullptr) << "the window did not appear";
    }

    HWND control(Control which) const { return GetDlgItem(window_, idOf(which)); }
    std::string textOf(Control which) const { return e2e::textOf(control(which)); }

    // Answers message boxes until the conversion button reads "konvertieren" again.
    std::vector<MessageBoxSeen> waitForConversionEnd() {
        std::vector<MessageBoxSeen> boxes;
        const bool ended = e2e::waitUntil(
            [&] {
                if (auto box = e2e::answerMessageBox(program_->id())) boxes.push_back(*box);
                return textOf(Control::cmdStart) == "konvertieren";
            },
            kConversionTimeout);
        EXPECT_TRUE(ended) << "the conversion did not end";
        return boxes;
    }

    std::vector<MessageBoxSeen> convert() {
        e2e::click(control(Control::cmdStart));
        return waitForConversionEnd();
    }

    // Waits for the next message box and answers it with the button.
    MessageBoxSeen answerNextBox(int buttonId) {
        std::optional<MessageBoxSeen> box;
        EXPECT_TRUE(
            e2e::waitUntil([&] { return (box = e2e::answerMessageBox(program_->id(), buttonId)).has_value(); }, 60s))
            << "no message box appeared";
        return box.value_or(MessageBoxSeen{});
    }

    // The summary above the list names the target; a Datenpool name too long for the line gives
    // way in its middle, and the words around it stay whole.
    void expectSummary(const std::string& count, const std::string& ending) const {
        const std::string shown = textOf(Control::lblListenkommentar);
        const std::string whole = count + " Adressen konvertiert nach " + textOf(Control::lblDatenpool) + ending;
        if (shown == whole) return;
        const TextMeasure measure(FontKind::ListComment);
        RECT line{};
        GetClientRect(control(Control::lblListenkommentar), &line);
        EXPECT_GT(measure.extent(whole).cx, line.right) << "shortened though it fits: " << shown;
        EXPECT_LE(measure.extent(shown).cx, line.right) << shown;
        EXPECT_TRUE(shown.starts_with(count + " Adressen konvertiert nach ")) << shown;
        EXPECT_TRUE(shown.ends_with(" / AdressenImport" + ending)) << shown;
        EXPECT_NE(shown.find("…"), std::string::npos) << shown;
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
        for (auto rows =
                 connection->execute(condition.empty() ? "AdressenImport" : "AdressenImport WHERE " + condition);
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
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX) << "the window can be resized";
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

    for (const ControlDescription& layout : kControls) {
        SCOPED_TRACE("control " + std::to_string(idOf(layout.control)) + " \"" + layout.caption + "\"");
        HWND handle = control(layout.control);
        ASSERT_NE(handle, nullptr);
        RECT at{};
        GetWindowRect(handle, &at);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&at), 2);
        const Twips position = positionInWindow(layout.control);
        EXPECT_EQ(at.left, twipsToPixels(position.left, dpiX));
        EXPECT_EQ(at.top, twipsToPixels(position.top, dpiY));
        EXPECT_EQ(at.right, twipsToPixels(position.left + position.width, dpiX));
        EXPECT_EQ(at.bottom, twipsToPixels(position.top + position.height, dpiY));
        // Start-up switches the address list's and the undo's buttons (below).
        if (layout.control != Control::cmdAdressen && layout.control != Control::cmdUndo) {
            EXPECT_EQ(IsWindowEnabled(handle) != FALSE, layout.enabled);
        }
        if (layout.kind != ControlKind::TextBox && layout.kind != ControlKind::TargetLabel) {
            EXPECT_EQ(e2e::textOf(handle), layout.caption);
        }
    }

    // The tab key follows the order of the controls' descriptions.
    std::vector<int> expectedOrder;
    for (const ControlDescription& layout : kControls) expectedOrder.push_back(idOf(layout.control));
    std::vector<int> order;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(order, expectedOrder);

    EXPECT_EQ(GetWindowLongW(control(Control::lstImport), GWL_STYLE) & LBS_SORT, 0)
        << "the list keeps the order of the rows";
    EXPECT_EQ(e2e::sendWithTimeout(control(Control::scrFortschritt), PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(e2e::sendWithTimeout(control(Control::scrFortschritt), PBM_GETRANGE, FALSE, 0), kProgressMaximum);
    EXPECT_EQ(textOf(Control::txtADR), adrDirectory());
    const std::string target = textOf(Control::lblDatenpool);
    EXPECT_TRUE(target.size() > 17 && target.ends_with(" / AdressenImport")) << target;
    EXPECT_FALSE(IsWindowEnabled(control(Control::cmdAdressen))) << "no main application, no address list";

    // The id range of the last import came from the settings and switched the undo on; a changed
    // id field switches it again.
    EXPECT_EQ(textOf(Control::txtIDVon), "5");
    EXPECT_EQ(textOf(Control::txtIdBis), "9");
    EXPECT_TRUE(IsWindowEnabled(control(Control::cmdUndo)));
    e2e::sendWithTimeout(control(Control::txtIdBis), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"4"));
    EXPECT_FALSE(IsWindowEnabled(control(Control::cmdUndo))) << "the range 5 to 4 holds no id";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, OpensWithEveryCaptionFittingItsControlInTheDialogFontOfTheScreensResolution) {
    const std::string wideStreet(150, 'W');
    useAdrDirectory(writeAdrDirectory("ADR-breit", addressRecords(2, "Meier", wideStreet)));
    open();
    std::printf("captions at %d dots per inch\n", screenDotsPerInch());

    // The list shows its lines in the standard font made for this resolution, not in one scaled twice.
    const TextMeasure standard(FontKind::Standard);
    EXPECT_EQ(e2e::sendWithTimeout(control(Control::lstImport), LB_GETITEMHEIGHT, 0, 0), standard.lineHeight());

    const int edges = 2 * GetSystemMetrics(SM_CXEDGE);
    for (const ControlDescription& layout : kControls) {
        if (*layout.caption == '\0') continue;
        SCOPED_TRACE("control " + std::to_string(idOf(layout.control)) + " \"" + layout.caption + "\"");
        RECT client{};
        ASSERT_TRUE(GetClientRect(control(layout.control), &client));
        const SIZE text = TextMeasure(layout.font).extent(layout.caption);
        // A button draws its caption inside its raised edges; a frame's caption sits after a small indent.
        const int room =
            client.right - (layout.kind == ControlKind::Button  ? edges
                            : layout.kind == ControlKind::Frame ? 2 * TextMeasure(layout.font).extent("x").cx
                                                                : 0);
        EXPECT_LE(text.cx, room) << "wide " << text.cx << ", room " << room;
        EXPECT_LE(text.cy, client.bottom - (layout.kind == ControlKind::Button ? edges : 0)) << "high " << text.cy;
    }

    // A line wider than the list can be scrolled into view.
    convert();
    const auto lines = e2e::listLines(control(Control::lstImport));
    ASSERT_EQ(lines.size(), 2u);
    RECT list{};
    GetClientRect(control(Control::lstImport), &list);
    const LONG widest = standard.extent(lines[1]).cx;
    ASSERT_GT(widest, list.right) << "the sample line is wider than the list";
    EXPECT_GE(e2e::sendWithTimeout(control(Control::lstImport), LB_GETHORIZONTALEXTENT, 0, 0), widest);
    EXPECT_NE(GetWindowLongW(control(Control::lstImport), GWL_STYLE) & WS_HSCROLL, 0)
        << "no horizontal scroll bar shown";

    EXPECT_EQ(closeWindow(), 0U);
}

RECT placeIn(HWND window, HWND control) {
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&at), 2);
    return at;
}

SIZE sizeOf(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// Sized by a user: never smaller than designed, where every caption fits (the test above); when
// larger, the list takes the room, what stands below it moves down with the window's edge and the
// rest keeps its place; maximised the same.
TEST_F(WindowTest, OpensWithItsDesignedSizeAsTheSmallestAndTheListTakesTheRoomOfALargerWindow) {
    open();
    const SIZE designed = sizeOf(window_);
    RECT designedClient{};
    GetClientRect(window_, &designedClient);
    const RECT list = placeIn(window_, control(Control::lstImport));
    const RECT import = placeIn(window_, control(Control::cmdImport));
    const RECT undo = placeIn(window_, control(Control::cmdUndo));
    const RECT start = placeIn(window_, control(Control::cmdStart));
    const RECT counts = placeIn(window_, control(Control::lblErgebnis));

    SetWindowPos(window_, nullptr, 0, 0, designed.cx / 2, designed.cy / 2, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(sizeOf(window_).cx, designed.cx) << "narrower than designed";
    EXPECT_EQ(sizeOf(window_).cy, designed.cy) << "lower than designed";

    // Maximised: the list takes the room the window gained and keeps its margins to the window's
    // edges, what stands below it moves down with the window's edge, the rest keeps its place.
    PostMessageW(window_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    RECT client{};
    RECT grownList{};
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            GetClientRect(window_, &client);
            grownList = placeIn(window_, control(Control::lstImport));
            // Zoomed comes before the new size: it is not the end of the step.
            return IsZoomed(window_) && client.right > designedClient.right && client.bottom > designedClient.bottom &&
                   client.right - grownList.right == designedClient.right - list.right &&
                   client.bottom - grownList.bottom == designedClient.bottom - list.bottom;
        },
        10s))
        << "maximised " << IsZoomed(window_) << ", client " << client.right << "x" << client.bottom << ", list to "
        << grownList.right << "x" << grownList.bottom;
    const int wider = client.right - designedClient.right;
    const int taller = client.bottom - designedClient.bottom;
    EXPECT_GT(wider, 0);
    EXPECT_GT(taller, 0);
    EXPECT_EQ(grownList.left, list.left);
    EXPECT_EQ(grownList.top, list.top);
    const RECT movedImport = placeIn(window_, control(Control::cmdImport));
    EXPECT_EQ(movedImport.left, import.left);
    EXPECT_EQ(movedImport.top, import.top + taller);
    EXPECT_EQ(placeIn(window_, control(Control::cmdUndo)).top, undo.top + taller) << "inside the frame too";
    const RECT movedCounts = placeIn(window_, control(Control::lblErgebnis));
    EXPECT_EQ(movedCounts.top, counts.top + taller);
    EXPECT_EQ(movedCounts.right, counts.right + wider) << "the counts' line widens";
    const RECT keptStart = placeIn(window_, control(Control::cmdStart));
    EXPECT_TRUE(EqualRect(&keptStart, &start)) << "above the list nothing moves";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, TheFolderButtonTakesTheFolderChosenInThePicker) {
    // A trailing backslash that the picker's answer does not have shows that its answer was taken.
    e2e::writeProfile(kProfile, {{"Driver", "SQLite3"}, {"Database", testing_support::hostPath(datenpool())}},
                      {{"ADR-Pfad", adrDirectory() + "\\"}});
    open();
    ASSERT_EQ(textOf(Control::txtADR), adrDirectory() + "\\");

    e2e::click(control(Control::cmdOpen));
    HWND picker = nullptr;
    ASSERT_TRUE(e2e::waitUntil([&] { return (picker = e2e::openDialog(program_->id())) != nullptr; }, 30s));
    e2e::closeDialog(picker, IDCANCEL);
    EXPECT_EQ(textOf(Control::txtADR), adrDirectory() + "\\") << "cancelled: the field stays";

    e2e::click(control(Control::cmdOpen));
    ASSERT_TRUE(e2e::waitUntil([&] { return (picker = e2e::openDialog(program_->id())) != nullptr; }, 30s));
    e2e::closeDialog(picker, IDOK);
    EXPECT_TRUE(e2e::waitUntil([&] { return textOf(Control::txtADR) == adrDirectory(); }, 10s))
        << textOf(Control::txtADR);
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
    EXPECT_EQ(e2e::listLines(control(Control::lstImport)), expectedList());
    expectSummary(std::to_string(kConvertedAddresses), ":");
    EXPECT_TRUE(IsWindowEnabled(control(Control::cmdImport)));
    EXPECT_EQ(e2e::sendWithTimeout(control(Control::scrFortschritt), PBM_GETPOS, 0, 0), kProgressMaximum);
    EXPECT_EQ(e2e::toolValue(kProfile, "ADR-Pfad"), adrDirectory());
    offerScreenshot(window_);

    EXPECT_EQ(closeWindow(), 0U);
}

// Files with this ending open with a command that copies them to `copy`, as a spreadsheet
// program would open them.
void associate(const std::wstring& ending, const std::string& copy) {
    const std::wstring type = L"Anschriftenwandler.Test" + ending;
    const std::wstring command = L"cmd.exe /c copy /y \"%1\" \"" + text::toWide(copy) + L"\"";
    const auto setDefault = [](const std::wstring& key, const std::wstring& value) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    };
    setDefault(ending, type);
    setDefault(type + L"\\shell\\open\\command", command);
}

// Types the name into the save dialog that the report button opens, and saves.
void saveInDialog(DWORD processId, const std::string& name) {
    HWND dialog = nullptr;
    ASSERT_TRUE(e2e::waitUntil([&] { return (dialog = e2e::openDialog(processId)) != nullptr; }, 30s))
        << "no save dialog";
    EXPECT_EQ(e2e::textOf(dialog), "Bericht der Konvertierung speichern");
    // The dialog's one visible edit field takes the name (in a combo box on some versions).
    HWND field = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) {
            wchar_t className[16] = {};
            GetClassNameW(child, className, 16);
            if (lstrcmpiW(className, L"Edit") != 0 || !IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&field));
    ASSERT_NE(field, nullptr) << "no file name field";
    EXPECT_EQ(e2e::textOf(field), "Konvertierungsbericht");
    const std::wstring wide = text::toWide(name);
    e2e::sendWithTimeout(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    e2e::closeDialog(dialog, IDOK);
}

// After a conversion the window says what became of every record, and "Bericht…" saves the
// run's report (a workbook unless CSV is asked for) and opens it with the associated program.
TEST_F(WindowTest, AfterAConversionTheCountsAreShownAndTheReportIsSavedAndOpened) {
    const std::string folder = std::filesystem::path(dir_->file("berichte")).make_preferred().string();
    std::filesystem::create_directories(folder);
    associate(L".xlsx", folder + "\\geoeffnet.xlsx");
    associate(L".csv", folder + "\\geoeffnet.csv");
    open();
    EXPECT_FALSE(IsWindowEnabled(control(Control::cmdBericht))) << "no run, no report";
    convert();
    const std::string counts = textOf(Control::lblErgebnis);
    EXPECT_TRUE(counts.starts_with("500 Datensätze gelesen: 492 gespeichert, 8 verworfen; ")) << counts;
    EXPECT_TRUE(counts.ends_with("; 19 Adressdateien fehlen oder sind unlesbar.")) << counts;
    ASSERT_TRUE(IsWindowEnabled(control(Control::cmdBericht)));

    e2e::click(control(Control::cmdBericht));
    saveInDialog(program_->id(), folder + "\\Bericht");
    const std::string workbook = folder + "\\Bericht.xlsx";
    ASSERT_TRUE(e2e::waitUntil([&] { return std::filesystem::exists(folder + "\\geoeffnet.xlsx"); }, 30s))
        << "not opened: " << (e2e::answerMessageBox(program_->id()).value_or(MessageBoxSeen{}).text);
    const std::string saved = testing_support::readWhole(workbook);
    EXPECT_TRUE(saved.starts_with("PK")) << "a workbook";
    EXPECT_TRUE(e2e::waitUntil([&] { return testing_support::readWhole(folder + "\\geoeffnet.xlsx") == saved; }, 10s))
        << "the program got the saved report";

    e2e::click(control(Control::cmdBericht));
    saveInDialog(program_->id(), folder + "\\Bericht.csv");
    ASSERT_TRUE(e2e::waitUntil([&] { return std::filesystem::exists(folder + "\\geoeffnet.csv"); }, 30s));
    const std::string csv = testing_support::readWhole(folder + "\\Bericht.csv");
    EXPECT_TRUE(
        csv.starts_with("\xEF\xBB\xBF"
                        "Datei;Zeile;Adressnummer;Ergebnis;ID;Hinweise;Original"))
        << csv.substr(0, 80);
    std::size_t discarded = 0;
    for (std::size_t at = csv.find(";verworfen;"); at != std::string::npos; at = csv.find(";verworfen;", at + 1)) {
        ++discarded;
    }
    EXPECT_EQ(discarded, 8u);
    EXPECT_FALSE(e2e::answerMessageBox(program_->id()).has_value()) << "saved and opened without a word";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, AClickOnAbbrechenCancelsASecondRunWhichListsWhatItStaged) {
    open();
    convert();
    ASSERT_EQ(e2e::listLines(control(Control::lstImport)).size(), kConvertedAddresses);

    // The second run reads a directory the click is sure to come before the end of.
    const std::wstring longDirectory = text::toWide(longAdrDirectory());
    e2e::sendWithTimeout(control(Control::txtADR), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longDirectory.c_str()));
    e2e::click(control(Control::cmdStart));
    ASSERT_TRUE(e2e::waitUntil([&] { return textOf(Control::cmdStart) == app::texts::kCancelCaption; }, 60s));
    e2e::click(control(Control::cmdStart));
    waitForConversionEnd();

    const auto listed = e2e::listLines(control(Control::lstImport));
    EXPECT_LT(listed.size(), static_cast<std::size_t>(kLongRecords)) << "the run was not cancelled";
    EXPECT_EQ(listed, stagingListing());
    for (std::size_t at = 0; at < listed.size(); ++at) {
        ASSERT_TRUE(listed[at].starts_with("Meier " + std::to_string(at + 1) + ", Herrn, 12345 Ort, Weg 1"))
            << "the first addresses of the directory, in order: " << listed[at];
    }
    expectSummary(text::groupDigits(static_cast<std::int64_t>(listed.size()), app::win32::groupSeparator()),
                  " (Konvertierung abgebrochen):");
    EXPECT_TRUE(IsWindowEnabled(control(Control::cmdImport))) << "records had been started";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, EnterPressesTheFocusedButtonAndEscapeCancelsTheConversionWhoseCountAdvancesMeanwhile) {
    useAdrDirectory(longAdrDirectory());
    open();
    SetForegroundWindow(window_);  // the keyboard's window, as after a click on it
    HWND focus = nullptr;
    EXPECT_TRUE(e2e::waitUntil([&] { return (focus = e2e::focusOf(window_)) != nullptr; }, 10s));
    ASSERT_EQ(focus, control(Control::cmdStart)) << "the first control in tab order has the focus";
    e2e::pressKey(focus, VK_RETURN);
    ASSERT_TRUE(e2e::waitUntil([&] { return textOf(Control::cmdStart) == app::texts::kCancelCaption; }, 60s))
        << "Enter did not press the button";

    // While the records are read, the label shows the running count (digits and separators
    // only) and the bar the address file; both move on.
    const auto countShown = [&] {
        std::string digits;
        for (char c : textOf(Control::lblListenkommentar)) {
            if (c >= '0' && c <= '9') {
                digits += c;
            } else if (c != '.' && c != ',') {
                return 0L;
            }
        }
        return digits.empty() || digits.size() > 9 ? 0L : std::stol(digits);
    };
    long first = 0;
    long later = 0;
    ASSERT_TRUE(e2e::waitUntil([&] { return (first = countShown()) > 0; }, 60s)) << "no count shown during the run";
    ASSERT_TRUE(e2e::waitUntil([&] { return (later = countShown()) > first; }, 60s)) << "the count stays at " << first;
    EXPECT_GE(e2e::sendWithTimeout(control(Control::scrFortschritt), PBM_GETPOS, 0, 0), 1)
        << "the bar shows the first file";
    EXPECT_EQ(textOf(Control::cmdStart), app::texts::kCancelCaption) << "the run went on";

    e2e::pressKey(e2e::focusOf(window_), VK_ESCAPE);
    EXPECT_TRUE(waitForConversionEnd().empty()) << "no message during the run";
    const auto listed = e2e::listLines(control(Control::lstImport));
    EXPECT_LT(listed.size(), static_cast<std::size_t>(kLongRecords)) << "Escape did not cancel the run";
    EXPECT_GE(listed.size(), static_cast<std::size_t>(later)) << "what was counted before the cancel is staged";
    EXPECT_EQ(listed, stagingListing());
    EXPECT_EQ(closeWindow(), 0U);
}

// A measurement, no check of speed: with $ANSCHRIFTENWANDLER_E2E_BENCH naming an ADR directory
// (a host path), the window and the command-line tool convert it into the embedded Datenpool,
// kBenchmarkRuns times each, and the medians are printed. Missing address files are added empty,
// so that no message box waits for an answer.
TEST_F(WindowTest, BenchmarkTheWindowsConversionBesideTheCommandLineTools) {
    const char* source = std::getenv("ANSCHRIFTENWANDLER_E2E_BENCH");
    if (!source || !*source) GTEST_SKIP() << "no ADR directory named in ANSCHRIFTENWANDLER_E2E_BENCH";
    const std::filesystem::path adr = dir_->path() / "ADR-bench";
    std::filesystem::copy(e2e::windowsPathOf(source), adr);
    for (int number = 1; number <= 99; ++number) {
        const std::string name = (number < 10 ? "0" : "") + std::to_string(number) + "A";
        if (!std::filesystem::exists(adr / name)) dir_->write("ADR-bench/" + name, "");
    }
    const std::string pool = dir_->file("bench.db");
    ASSERT_EQ(testing_support::runCli({"init-db", "--force", pool}, dir_->path().string()).exitCode, 0);
    using Clock = std::chrono::steady_clock;
    const auto seconds = [](Clock::duration duration) { return std::chrono::duration<double>(duration).count(); };
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };

    std::vector<double> cli;
    std::vector<double> window;
    std::size_t listed = 0;
    e2e::writeProfile(kProfile, {{"Provider", "SQLite"}, {"Data Source", pool}}, {{"ADR-Pfad", adr.string()}});
    open();
    // Each run of the tool is followed by one of the window, so that a change in the machine's
    // load strikes both alike.
    for (int run = 0; run < kBenchmarkRuns; ++run) {
        auto started = Clock::now();
        const auto converted =
            testing_support::runCli({"convert", "--adr", adr.string(), "--db", pool}, dir_->path().string());
        cli.push_back(seconds(Clock::now() - started));
        ASSERT_EQ(converted.exitCode, 0) << converted.err;
        listed = testing_support::lines(converted.out).size();

        started = Clock::now();
        EXPECT_TRUE(convert().empty());
        window.push_back(seconds(Clock::now() - started));
        EXPECT_EQ(static_cast<std::size_t>(e2e::sendWithTimeout(control(Control::lstImport), LB_GETCOUNT, 0, 0)),
                  listed);
    }
    EXPECT_EQ(closeWindow(), 0U);
    std::printf(
        "%zu addresses: window %.2f s, command-line tool %.2f s (medians of %d, alternate runs), "
        "window/tool %.2f\n",
        listed, median(window), median(cli), kBenchmarkRuns, median(window) / median(cli));
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

    e2e::click(control(Control::cmdImport));
    const MessageBoxSeen question = answerNextBox(IDOK);
    EXPECT_TRUE(question.text.starts_with("Hierdurch werden " + std::to_string(kConvertedAddresses) +
                                          " konvertierte Adressen in die Adressverwaltung der Datenbank \"" + kProfile +
                                          "\""))
        << question.text;
    const MessageBoxSeen imported = answerNextBox(IDOK);
    EXPECT_EQ(imported.title, "Norvel-Kanzleisoftware");
    EXPECT_EQ(imported.text, std::to_string(kConvertedAddresses) + " Adressen mit IDs 4 bis " + lastId +
                                 " wurden in die Adressverwaltung importiert.");
    EXPECT_EQ(addresses(), 3 + static_cast<std::int64_t>(kConvertedAddresses));
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr0"), "3");
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr1"), lastId);
    EXPECT_EQ(textOf(Control::txtIDVon), "3");
    EXPECT_EQ(textOf(Control::txtIdBis), lastId);
    EXPECT_FALSE(IsWindowEnabled(control(Control::cmdImport))) << "the same addresses once only";
    EXPECT_TRUE(IsWindowEnabled(control(Control::cmdUndo)));

    e2e::click(control(Control::cmdUndo));
    const MessageBoxSeen asked = answerNextBox(IDYES);
    EXPECT_EQ(asked.text, "Hierdurch werden " + std::to_string(kConvertedAddresses) + " Adressen mit IDs 4 bis " +
                              lastId + " aus der Adressverwaltung der Datenbank \"" + kProfile +
                              "\" gelöscht.\r\n\r\nWirklich löschen?");
    const MessageBoxSeen undone = answerNextBox(IDOK);
    EXPECT_EQ(undone.text, "Die importierten Adressen 3 bis " + lastId + " wurden wieder wieder gelöscht.");
    EXPECT_EQ(addresses(), 3);
    // The range is cleared after the message has been answered.
    EXPECT_TRUE(e2e::waitUntil([&] { return textOf(Control::txtIDVon).empty(); }, 10s));
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr0"), "");
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr1"), "");
    EXPECT_EQ(textOf(Control::txtIDVon), "");
    EXPECT_FALSE(IsWindowEnabled(control(Control::cmdUndo)));

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, ImportAsksWithTheCountOfAddressesImportedBeforeAndBringsOnlyTheNewOnes) {
    open();
    convert();
    {
        // Two of the converted addresses came with an earlier import; the office's own has no number.
        const auto pool = db::SqliteConnection::open(datenpool());
        pool->execute("DELETE FROM Adressen");
        pool->execute("DELETE FROM sqlite_sequence WHERE name = 'Adressen'");
        pool->execute("INSERT INTO Adressen (nachname) VALUES ('Kanzlei')");
        pool->execute(
            "INSERT INTO Adressen (fremdid, nachname) SELECT fremdid, nachname FROM AdressenImport "
            "ORDER BY id LIMIT 2");
    }
    const auto numbered = [] {
        return db::SqliteConnection::open(datenpool())
            ->execute("SELECT COUNT(*) FROM Adressen WHERE fremdid IS NOT NULL")
            ->value(0)
            .integer();
    };
    const std::size_t fresh = kConvertedAddresses - 2;
    const std::string lastId = std::to_string(3 + fresh);

    e2e::click(control(Control::cmdImport));
    const MessageBoxSeen question = answerNextBox(IDYES);
    EXPECT_TRUE(
        question.text.starts_with("Hierdurch werden " + std::to_string(kConvertedAddresses) + " konvertierte Adressen"))
        << question.text;
    EXPECT_NE(question.text.find("Davon sind 2 Adressen bereits in der Adressverwaltung (aus einem früheren Import); "
                                 "neu sind " +
                                 std::to_string(fresh) + " Adressen. Nur die neuen Adressen importieren?"),
              std::string::npos)
        << question.text;
    const MessageBoxSeen imported = answerNextBox(IDOK);
    EXPECT_EQ(imported.text, std::to_string(fresh) + " Adressen mit IDs 4 bis " + lastId +
                                 " wurden in die Adressverwaltung importiert. 2 bereits früher importierte Adressen "
                                 "wurden ausgelassen.");
    EXPECT_EQ(numbered(), static_cast<std::int64_t>(kConvertedAddresses)) << "each address once";
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr0"), "3");
    EXPECT_EQ(e2e::toolValue(kProfile, "AdressNr1"), lastId);
    EXPECT_EQ(stagingListing().size(), kConvertedAddresses) << "the staging table keeps every address";

    e2e::click(control(Control::cmdUndo));
    answerNextBox(IDYES);
    answerNextBox(IDOK);
    EXPECT_EQ(numbered(), 2) << "the undo removes exactly the new addresses";
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
    const std::vector<Control> quiet = {Control::cmdImport, Control::cmdUndo, Control::cmdOpen, Control::txtADR,
                                        Control::cmdAdressen};
    const auto enabled = [&] {
        std::vector<bool> states;
        for (const Control which : quiet) states.push_back(IsWindowEnabled(control(which)) != FALSE);
        return states;
    };
    const std::vector<bool> before = enabled();
    EXPECT_EQ(before, (std::vector<bool>{false, true, true, true, false})) << "import and address list start disabled";

    e2e::click(control(Control::cmdStart));
    ASSERT_TRUE(e2e::waitUntil([&] { return textOf(Control::cmdStart) == app::texts::kCancelCaption; }, 60s));
    EXPECT_EQ(enabled(), std::vector<bool>(quiet.size(), false)) << "only the cancel acts during the run";
    EXPECT_TRUE(IsWindowEnabled(control(Control::cmdStart)));
    e2e::click(control(Control::cmdStart));
    EXPECT_TRUE(waitForConversionEnd().empty()) << "every address file is there";

    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, false}))
        << "back as before; the import follows the run";
    EXPECT_TRUE(textOf(Control::lblListenkommentar).ends_with(" (Konvertierung abgebrochen):"))
        << textOf(Control::lblListenkommentar);
    EXPECT_LT(stagingListing().size(), 99000u) << "the run was not cancelled";

    EXPECT_EQ(closeWindow(), 0U);
}

TEST_F(WindowTest, ClosingDuringAConversionCancelsItAndEnds) {
    useAdrDirectory(longAdrDirectory());
    open();
    e2e::click(control(Control::cmdStart));
    ASSERT_TRUE(e2e::waitUntil([&] { return textOf(Control::cmdStart) == app::texts::kCancelCaption; }, 60s));
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
    EXPECT_LT(stagingListing().size(), static_cast<std::size_t>(kLongRecords)) << "the run was not cancelled";
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

TEST_F(WindowTest, ACommandLineOfLettersSaysSoAndEndsWithoutConvertingAnything) {
    const auto before = stagingListing();
    start("abc");
    std::optional<MessageBoxSeen> box;
    ASSERT_TRUE(e2e::waitUntil([&] { return (box = e2e::answerMessageBox(program_->id())).has_value(); }, 60s));
    EXPECT_EQ(box->text, "\"abc\" ist keine Adressnummer; es wurde nichts konvertiert.");
    EXPECT_EQ(program_->waitForExit(60s), 1U) << "no address number, nothing converted";
    EXPECT_EQ(stagingListing(), before);
}

TEST_F(WindowTest, AnAddressNumberThatIsNotFoundEndsWithExitCodeOne) {
    const auto before = stagingListing();
    start("999901");  // "01A" holds no such address
    std::optional<MessageBoxSeen> box;
    ASSERT_TRUE(e2e::waitUntil([&] { return (box = e2e::answerMessageBox(program_->id())).has_value(); }, 60s));
    EXPECT_EQ(box->text, "Adressnummer 999901 nicht gefunden");
    EXPECT_EQ(program_->waitForExit(60s), 1U);
    EXPECT_EQ(stagingListing(), before);
}

TEST_F(WindowTest, WithoutConnectionParametersTheTargetShowsTheProvidersError) {
    e2e::writeProfile(kProfile, {}, {{"ADR-Pfad", adrDirectory()}});
    start();
    std::optional<MessageBoxSeen> box;
    ASSERT_TRUE(e2e::waitUntil([&] { return (box = e2e::answerMessageBox(program_->id())).has_value(); }, 60s));
    EXPECT_EQ(box->title, "Norvel-Kanzleisoftware");
    EXPECT_EQ(box->text, "Es sind keine Verbindungsparamter gespeichert.");
    window_ = e2e::waitForWindow(program_->id(), kWindowClass, idOf(Control::cmdImport), 60s);
    ASSERT_NE(window_, nullptr);
    EXPECT_FALSE(textOf(Control::lblDatenpool).empty()) << "the provider's error text";
    EXPECT_FALSE(IsWindowEnabled(control(Control::cmdStart)));
    EXPECT_EQ(textOf(Control::txtADR), "") << "the settings are not read without a connection";
    EXPECT_EQ(closeWindow(), 0U);
}

}  // namespace
