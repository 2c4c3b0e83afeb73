#include "app/win32/Win32View.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <stdexcept>

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "app/win32/BrowseForFolder.h"
#include "app/win32/Fonts.h"
#include "app/win32/Layout.h"
#include "app/win32/ResourceIds.h"
#include "app/win32/SaveReportDialog.h"
#include "app/win32/SystemServices.h"
#include "text/ShortenedName.h"
#include "text/Unicode.h"

namespace app::win32 {

namespace {

// Sizable: the list takes the room; the designed size is the smallest, which every caption fits.
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
// Pending events (clicks, keys, painting) are handled at most this often during a command, in
// milliseconds; a click is handled within this time, after the line being read then.
constexpr ULONGLONG kPumpIntervalMs = 20;
// The running count and the progress bar are drawn at most this often during a command.
constexpr auto kDrawInterval = std::chrono::milliseconds(50);

struct DotsPerInch {
    int x = 96;
    int y = 96;
};

DotsPerInch screenDotsPerInch() {
    const ScreenDc screen(GetDC(nullptr));
    return {GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY)};
}

GdiObject<HFONT> createFont(FontKind kind, int dotsPerInch) {
    const LOGFONTW font = fontOf(kind, dotsPerInch);
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

WindowKind windowKindOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::TargetLabel: return {L"STATIC", SS_LEFT | SS_NOPREFIX | WS_BORDER, 0};
        case ControlKind::PathLabel: return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0};
        case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::PictureButton: return {L"BUTTON", BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, 0};
        case ControlKind::TextBox: return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::ProgressBar: return {PROGRESS_CLASSW, 0, 0};
        case ControlKind::ListBox:
            return {L"LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
    }
    throw std::out_of_range("unknown control kind");
}

bool isButton(Control control) {
    const ControlKind kind = descriptionOf(control).kind;
    return kind == ControlKind::Button || kind == ControlKind::PictureButton;
}

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    buffer.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text::fromWide(buffer);
}

void registerWindowClass(HINSTANCE instance, WNDPROC windowProcedureOf) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedureOf;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error(systemMessage(GetLastError()));
    }
}

}  // namespace

Win32View::Win32View(HINSTANCE instance) : display_(kDrawInterval) {
    registerWindowClass(instance, &Win32View::windowProcedure);
    const DotsPerInch dpi = screenDotsPerInch();
    for (const FontKind kind : {FontKind::Standard, FontKind::Heading, FontKind::ListComment}) {
        fonts_[static_cast<std::size_t>(kind)] = createFont(kind, dpi.y);
    }
    // The list's lines are measured here, with the list's font, for its horizontal scroll bar.
    measuringDc_.reset(CreateCompatibleDC(nullptr));
    if (measuringDc_) SelectObject(measuringDc_.get(), font(FontKind::Standard));
    openFolderBitmap_.reset(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_OPEN_FOLDER), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));

    RECT frame{0, 0, twipsToPixels(kClientWidthTwips, dpi.x), twipsToPixels(kClientHeightTwips, dpi.y)};
    designedClient_ = {frame.right, frame.bottom};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    smallestWindow_ = {frame.right - frame.left, frame.bottom - frame.top};
    CreateWindowExW(0, kWindowClass, text::toWide(texts::kDesignCaption).c_str(), kWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                    this);
    if (!window_) throw std::runtime_error(systemMessage(GetLastError()));
    try {
        // The class's icons also as the window's own: others ask a window for them (WM_GETICON).
        SendMessageW(window_, WM_SETICON, ICON_BIG, static_cast<LPARAM>(GetClassLongPtrW(window_, GCLP_HICON)));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, static_cast<LPARAM>(GetClassLongPtrW(window_, GCLP_HICONSM)));
        createControls(instance);
    } catch (...) {
        // The window goes with this object, detached first: its end must not end the program's
        // message loop, in which the failure is yet to be shown.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        throw;
    }
}

Win32View::~Win32View() {
    if (window_) DestroyWindow(window_);
}

HFONT Win32View::font(FontKind kind) const {
    if (HFONT made = fonts_[static_cast<std::size_t>(kind)].get()) return made;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Win32View::createControls(HINSTANCE instance) {
    // Created in tab order, the order of the descriptions: the tab key follows the order of creation.
    for (const ControlDescription& description : kControls) {
        const RECT at = placeOf(description.control, 0, 0);
        const WindowKind kind = windowKindOf(description.kind);
        const DWORD style = WS_CHILD | WS_VISIBLE | kind.style | (description.enabled ? 0 : WS_DISABLED);
        HWND control = CreateWindowExW(kind.extendedStyle, kind.className, text::toWide(description.caption).c_str(),
                                       style, at.left, at.top, at.right - at.left, at.bottom - at.top, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(idOf(description.control))),
                                       instance, nullptr);
        if (!control) throw std::runtime_error(systemMessage(GetLastError()));
        handles_[indexOf(description.control)] = control;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(description.font)), FALSE);
        if (description.kind == ControlKind::PictureButton) {
            SendMessageW(control, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(openFolderBitmap_.get()));
        } else if (description.kind == ControlKind::ProgressBar) {
            SendMessageW(control, PBM_SETRANGE32, 0, kProgressMaximum);
        }
    }
}

RECT Win32View::placeOf(Control control, int wider, int taller) const {
    const DotsPerInch dpi = screenDotsPerInch();
    const Twips at = positionInWindow(control);
    RECT place{twipsToPixels(at.left, dpi.x), twipsToPixels(at.top, dpi.y), twipsToPixels(at.left + at.width, dpi.x),
               twipsToPixels(at.top + at.height, dpi.y)};
    // The list takes the room the window gains; what stands below it moves down with the
    // window's lower edge, and the counts' line widens with it.
    const Twips list = descriptionOf(Control::lstImport).position;
    if (control == Control::lstImport) {
        place.right += wider;
        place.bottom += taller;
    } else if (at.top >= list.top + list.height) {
        OffsetRect(&place, 0, taller);
        if (control == Control::lblErgebnis) place.right += wider;
    }
    return place;
}

void Win32View::arrangeControls(int clientWidth, int clientHeight) {
    const int wider = std::max(0, clientWidth - static_cast<int>(designedClient_.cx));
    const int taller = std::max(0, clientHeight - static_cast<int>(designedClient_.cy));
    // The list last: once it has its place, so has everything else.
    const auto place = [&](Control control) {
        const RECT at = placeOf(control, wider, taller);
        SetWindowPos(handleOf(control), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (const ControlDescription& description : kControls) {
        if (description.control != Control::lstImport) place(description.control);
    }
    place(Control::lstImport);
    // A group box that moved leaves its old frame behind unless the whole window is drawn anew.
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK Win32View::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Win32View*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<Win32View*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handleMessage(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32View::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // Notifications of the controls; Enter and Escape come from the dialog manager without a control.
            if (lParam != 0) {
                onCommand(LOWORD(wParam), HIWORD(wParam));
            } else {
                onDialogKey(LOWORD(wParam));
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            if (const auto control = controlOf(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
                control && descriptionOf(*control).kind == ControlKind::TargetLabel) {
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
            }
            break;
        case WM_SETCURSOR:
            if (busy_) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            // Keep the focus on the control that had it, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else {
                HWND target = focusBeforeDeactivation_ && IsChild(window_, focusBeforeDeactivation_)
                                  ? focusBeforeDeactivation_
                                  : GetNextDlgTabItem(window_, nullptr, FALSE);
                if (target) SetFocus(target);
            }
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            if (smallestWindow_.cx > 0) limits->ptMinTrackSize = {smallestWindow_.cx, smallestWindow_.cy};
            return 0;
        }
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED && handles_.back()) arrangeControls(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_CLOSE: close(); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            return 0;
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32View::onCommand(int id, int notification) {
    const auto control = controlOf(id);
    if (!control) return;
    if (notification == BN_CLICKED && isButton(*control)) {
        runEvent([&] {
            if (onClick) onClick(*control);
        });
    } else if (notification == EN_CHANGE && (*control == Control::txtIDVon || *control == Control::txtIdBis)) {
        runEvent([&] {
            if (onTextChanged) onTextChanged(*control);
        });
    }
}

void Win32View::onDialogKey(int id) {
    if (id == IDOK) {
        // Enter presses the focused button, as Space does.
        HWND focus = GetFocus();
        if (!focus || !IsChild(window_, focus) || !IsWindowEnabled(focus)) return;
        const int focusedId = GetDlgCtrlID(focus);
        if (const auto control = controlOf(focusedId); control && isButton(*control)) onCommand(focusedId, BN_CLICKED);
    } else if (id == IDCANCEL) {
        cancelConversion();
    }
}

void Win32View::cancelConversion() {
    runEvent([&] {
        if (onCancel) onCancel();
    });
}

void Win32View::runEvent(const std::function<void()>& event) {
    ++eventDepth_;
    try {
        event();
    } catch (const std::exception& error) {
        // The logic handles its own failures; this keeps anything else from unwinding through Windows.
        MessageBoxW(window_, text::toWide(error.what()).c_str(), text::toWide(kApplicationTitle).c_str(), MB_ICONSTOP);
    }
    --eventDepth_;
    showHeldList();
    drawHeldDisplay();
    if (eventDepth_ == 0 && closeRequested_ && window_) DestroyWindow(window_);
}

void Win32View::close() {
    if (eventDepth_ == 0) {
        DestroyWindow(window_);
        return;
    }
    // Closed while a command runs (its events are being pumped): the window goes when the command
    // has ended, and a running conversion is cancelled first, as a click on its button would.
    closeRequested_ = true;
    cancelConversion();
}

void Win32View::dispatch(MSG& message) {
    if (window_ && IsDialogMessageW(window_, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int Win32View::run(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
    return static_cast<int>(message.wParam);
}

// Kept from their creation: GetDlgItem asks the window system for the list of children each time.
HWND Win32View::handleOf(Control control) const { return handles_[indexOf(control)]; }

void Win32View::setCaption(const std::string& caption) { SetWindowTextW(window_, text::toWide(caption).c_str()); }

std::string Win32View::caption() const { return windowText(window_); }

void Win32View::setText(Control control, const std::string& text) {
    // During a command the list comment carries the running count, changed with every record:
    // it is drawn when events are pumped and its interval has passed.
    if (control == Control::lblListenkommentar && eventDepth_ > 0) {
        display_.holdText(control, text);
        return;
    }
    // An edit control reports the change (EN_CHANGE) before this returns.
    SetWindowTextW(handleOf(control), text::toWide(text).c_str());
}

void Win32View::setTextShorteningName(Control control, const std::string& text, const std::string& name) {
    HWND handle = handleOf(control);
    RECT room{};
    GetClientRect(handle, &room);
    const int width = room.right - room.left - 2 * GetSystemMetrics(SM_CXEDGE);
    HGDIOBJ previous = measuringDc_ ? SelectObject(measuringDc_.get(), font(descriptionOf(control).font)) : nullptr;
    const auto fits = [&](const std::string& candidate) {
        const std::wstring wide = text::toWide(candidate);
        SIZE extent{};
        return !measuringDc_ ||
               (GetTextExtentPoint32W(measuringDc_.get(), wide.c_str(), static_cast<int>(wide.size()), &extent) &&
                extent.cx <= width);
    };
    const std::string shortened = text::shortenName(text, name, fits);
    if (previous) SelectObject(measuringDc_.get(), previous);
    setText(control, shortened);
}

std::string Win32View::text(Control control) const {
    if (auto held = display_.heldText(control)) return *held;
    return windowText(handleOf(control));
}

void Win32View::setEnabled(Control control, bool enabled) {
    HWND handle = handleOf(control);
    // A disabled control cannot keep the focus: hand it on to the next one, as the tab key would.
    if (!enabled && GetFocus() == handle) SetFocus(GetNextDlgTabItem(window_, handle, FALSE));
    EnableWindow(handle, enabled ? TRUE : FALSE);
}

bool Win32View::isEnabled(Control control) const { return IsWindowEnabled(handleOf(control)) != FALSE; }

void Win32View::repaint(Control control) {
    if (display_.heldText(control)) return;  // drawn when its interval has passed
    RedrawWindow(handleOf(control), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void Win32View::clearList() {
    HWND list = handleOf(Control::lstImport);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    widestListLine_ = 0;
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
}

void Win32View::addListLine(const std::string& line) {
    HWND list = handleOf(Control::lstImport);
    // Drawing the list after every line would cost more than the listing itself.
    if (!listDrawingHeld_) {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        listDrawingHeld_ = true;
    }
    const std::wstring wide = text::toWide(line);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    SIZE extent{};
    if (measuringDc_ &&
        GetTextExtentPoint32W(measuringDc_.get(), wide.c_str(), static_cast<int>(wide.size()), &extent)) {
        widestListLine_ = std::max(widestListLine_, static_cast<int>(extent.cx));
    }
}

void Win32View::showHeldList() {
    if (!listDrawingHeld_) return;
    listDrawingHeld_ = false;
    HWND list = handleOf(Control::lstImport);
    // A line wider than the list can be scrolled into view (a little room beside the text's edges).
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widestListLine_ + 4 * GetSystemMetrics(SM_CXEDGE), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

long long Win32View::listCount() const { return SendMessageW(handleOf(Control::lstImport), LB_GETCOUNT, 0, 0); }

void Win32View::setProgress(int value) {
    if (eventDepth_ > 0) {
        display_.holdProgress(value);
        return;
    }
    SendMessageW(handleOf(Control::scrFortschritt), PBM_SETPOS, value, 0);
}

void Win32View::drawHeldDisplay() {
    if (!display_.holdsAnything()) return;
    const ThrottledDisplay::Held held = display_.take(ThrottledDisplay::Clock::now());
    for (const auto& [control, text] : held.texts) {
        HWND handle = handleOf(control);
        SetWindowTextW(handle, text::toWide(text).c_str());
        RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    if (held.progress) {
        HWND bar = handleOf(Control::scrFortschritt);
        SendMessageW(bar, PBM_SETPOS, *held.progress, 0);
        UpdateWindow(bar);
    }
}

UINT Win32View::styleOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::plain: return MB_OK;                                               // 0
        case MessageKind::warning: return MB_OK | MB_ICONEXCLAMATION;                        // 48
        case MessageKind::information: return MB_OK | MB_ICONINFORMATION;                    // 64
        case MessageKind::question: return MB_YESNOCANCEL | MB_ICONQUESTION;                 // 35
        case MessageKind::confirmation: return MB_OKCANCEL | MB_ICONSTOP | MB_DEFBUTTON2;    // 273
        case MessageKind::onlyNewChoice: return MB_YESNOCANCEL | MB_ICONQUESTION;            // 35
        case MessageKind::yesNoQuestion: return MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;  // 292
    }
    return MB_OK;
}

int Win32View::messageBox(const std::string& text, MessageKind kind, const std::string& title) {
    return showBox(text, styleOf(kind), title);
}

int Win32View::showBox(const std::string& text, UINT style, const std::string& title) {
    // The box shows over the window as it stands now.
    showHeldList();
    drawHeldDisplay();
    return MessageBoxW(window_, text::toWide(text).c_str(), text::toWide(title).c_str(), style);
}

std::string Win32View::browseForFolder(const std::string& title, const std::string& startFolder) {
    return BrowseForFolder(title, startFolder,
                           [this](const std::string& message, int style, const std::string& boxTitle) {
                               showBox(message, static_cast<UINT>(style), boxTitle);
                           });
}

void Win32View::pumpEvents() {
    // Called for every line read. The tick count is read from memory; asking the message queue
    // whether input waits would cost a trip to the window system each time (under Wine longer
    // than reading the line).
    const ULONGLONG now = GetTickCount64();
    if (now - lastPump_ < kPumpIntervalMs) return;
    lastPump_ = now;
    showHeldList();
    if (display_.due(ThrottledDisplay::Clock::now())) drawHeldDisplay();
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave it to the event loop, which ends the program.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

void Win32View::setBusyPointer(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool Win32View::fileExists(const std::string& path) const { return win32::fileExists(path); }

std::string Win32View::saveReportAs(const std::string& title, const std::string& suggestedName) {
    showHeldList();
    drawHeldDisplay();
    return win32::saveReportAs(window_, title, suggestedName);
}

std::string Win32View::openDocument(const std::string& path) { return win32::openDocument(path); }

std::string Win32View::startProgram(const std::string& commandLine) { return win32::startProgram(commandLine); }

std::string Win32View::groupSeparator() const { return win32::groupSeparator(); }

}  // namespace app::win32
