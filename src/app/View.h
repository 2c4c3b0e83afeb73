#pragma once
// What the window's logic needs of the window: the controls' texts and states, the list,
// the progress bar, message boxes, the folder picker, handling pending events, starting a
// program. The Win32 window implements it; tests script it.

#include <string>

#include "app/Controls.h"

namespace app {

// What a message box says and asks, each with the icon and buttons the texts name.
enum class MessageKind {
    plain,          // OK, no icon
    warning,        // OK, exclamation icon: refusals and failures
    information,    // OK, information icon: completed work
    question,       // Yes/No/Cancel, question icon
    confirmation,   // OK/Cancel, stop icon, Cancel the default
    yesNoQuestion,  // Yes/No, question icon, No the default: before deleting addresses
    onlyNewChoice,  // Yes/No/Cancel, question icon: Yes imports only the new addresses, No all
};

// Answers of a message box.
namespace answer {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace answer

inline constexpr const char* kApplicationTitle = "Anschriftenwandler";

class View {
public:
    virtual ~View() = default;

    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    // Text of a text box, label or button; setting a text box's text runs its change handler.
    virtual void setText(Control control, const std::string& text) = 0;
    virtual std::string text(Control control) const = 0;
    // A text that names something long (a Datenpool): when the control is too narrow for it,
    // the name gives way in its middle and the words around it stay whole. Views without a
    // window show the whole text.
    virtual void setTextShorteningName(Control control, const std::string& text, const std::string& /*name*/) {
        setText(control, text);
    }
    virtual void setEnabled(Control control, bool enabled) = 0;
    virtual bool isEnabled(Control control) const = 0;
    // Redraws a control at once, without waiting for the event loop.
    virtual void repaint(Control control) = 0;

    virtual void clearList() = 0;
    virtual void addListLine(const std::string& line) = 0;
    virtual long long listCount() const = 0;
    virtual void setProgress(int value) = 0;

    // Shows a message box and waits for the answer.
    virtual int messageBox(const std::string& text, MessageKind kind, const std::string& title) = 0;
    // The folder picker: the chosen folder, or the empty text when cancelled.
    virtual std::string browseForFolder(const std::string& title, const std::string& startFolder) = 0;
    // The save dialog of a report (a workbook by default, CSV too): the path chosen, ending as
    // the type chosen asks, or the empty text when cancelled.
    virtual std::string saveReportAs(const std::string& title, const std::string& suggestedName) = 0;
    // Opens a document with the program the system associates with it; answers the system's
    // error text, empty on success.
    virtual std::string openDocument(const std::string& path) = 0;
    // Handles what is pending (clicks during a conversion).
    virtual void pumpEvents() = 0;
    virtual void setBusyPointer(bool busy) = 0;

    virtual bool fileExists(const std::string& path) const = 0;
    // Starts a program without waiting; answers the system's error text, empty on success.
    virtual std::string startProgram(const std::string& commandLine) = 0;
    // The user's digit grouping separator for "#,##0".
    virtual std::string groupSeparator() const = 0;
};

}  // namespace app
