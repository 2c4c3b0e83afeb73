#pragma once
// The Win32 window: creates every control of the layout, renders what the logic sets, and
// forwards the button clicks and the id fields' changes to the logic.

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "app/View.h"
#include "app/win32/GdiHandles.h"
#include "app/win32/ThrottledDisplay.h"

namespace app::win32 {

class Win32View : public View {
public:
    // Creates the window with all its controls, hidden.
    explicit Win32View(HINSTANCE instance);
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;
    ~Win32View() override;

    // Where the events go; set before the logic's start-up fills the id fields.
    std::function<void(Control)> onClick;
    std::function<void(Control)> onTextChanged;
    // Escape, and closing the window while a command runs: the logic cancels a running conversion.
    std::function<void()> onCancel;

    // Shows the window and runs its event loop until it is closed; answers the exit code.
    int run(int showCommand);
    HWND window() const { return window_; }

    void setCaption(const std::string& caption) override;
    std::string caption() const override;
    void setText(Control control, const std::string& text) override;
    void setTextShorteningName(Control control, const std::string& text, const std::string& name) override;
    std::string text(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    bool isEnabled(Control control) const override;
    void repaint(Control control) override;

    void clearList() override;
    void addListLine(const std::string& line) override;
    long long listCount() const override;
    void setProgress(int value) override;

    int messageBox(const std::string& text, MessageKind kind, const std::string& title) override;
    // The message box style (buttons, icon, default button) a kind of message stands for.
    static UINT styleOf(MessageKind kind);
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override;
    std::string saveReportAs(const std::string& title, const std::string& suggestedName) override;
    std::string openDocument(const std::string& path) override;
    void pumpEvents() override;
    void setBusyPointer(bool busy) override;

    bool fileExists(const std::string& path) const override;
    std::string startProgram(const std::string& commandLine) override;
    std::string groupSeparator() const override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    // Where a control stands in pixels when the window's client area is wider and taller than
    // designed by that much.
    RECT placeOf(Control control, int wider, int taller) const;
    // Places every control for the client area's size.
    void arrangeControls(int clientWidth, int clientHeight);
    // The window's font of that kind, or the system's when it could not be made.
    HFONT font(FontKind kind) const;
    HWND handleOf(Control control) const;
    void dispatch(MSG& message);
    void onCommand(int id, int notification);
    // Enter (IDOK) and Escape (IDCANCEL) as the dialog manager reports them.
    void onDialogKey(int id);
    // Lets the logic cancel a running conversion (onCancel).
    void cancelConversion();
    // Runs one event of the logic; a close requested meanwhile takes effect when the outermost one ends.
    void runEvent(const std::function<void()>& event);
    void close();
    // Lines added to the list are drawn when the event ends, events are pumped or a message box shows.
    void showHeldList();
    int showBox(const std::string& text, UINT style, const std::string& title);
    void drawHeldDisplay();

    // The GDI objects go after the window, which the destructor destroys first: its controls use them.
    std::array<GdiObject<HFONT>, 3> fonts_;  // by FontKind
    GdiObject<HBITMAP> openFolderBitmap_;
    MemoryDc measuringDc_;
    HWND window_ = nullptr;
    SIZE designedClient_{};                         // pixels at the screen's resolution
    SIZE smallestWindow_{};                         // the designed client area with the window's frame
    std::array<HWND, kControls.size()> handles_{};  // the controls in their order
    int widestListLine_ = 0;
    ThrottledDisplay display_;
    HWND focusBeforeDeactivation_ = nullptr;
    int eventDepth_ = 0;
    bool closeRequested_ = false;
    bool busy_ = false;
    bool listDrawingHeld_ = false;
    ULONGLONG lastPump_ = 0;  // tick count in milliseconds
};

}  // namespace app::win32
