#pragma once
// The console: what the window's logic and a conversion show goes there. List lines go to
// stdout, messages become lines on stderr, a progress bar is drawn on stderr, questions are
// answered by options or asked on a terminal, Ctrl+C cancels a running conversion.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "adr/ConversionEvents.h"
#include "app/ControlStates.h"
#include "app/View.h"
#include "app/cli/ProgressLine.h"
#include "text/OneLine.h"

namespace cli {

struct Answers {
    std::optional<bool> confirm;       // --yes: the import's confirmation and the undo's
    std::optional<bool> undoPrevious;  // --undo-previous yes|no
    std::optional<bool> onlyNew;       // --only-new (true) or --all (false)
    bool mayAsk = false;               // stdin is a terminal
};

// A message as one line on stderr.
void say(const std::string& text);
using text::oneLine;

// The view of the window's logic, and the events of a conversion that runs without it.
class ConsoleView : public app::View, public adr::ConversionEvents {
public:
    // showProgress: whether the bar is drawn (only ever on a terminal).
    ConsoleView(Answers answers, bool showProgress);

    // Runs when the text of an id field changes, and when Ctrl+C arrives during a conversion.
    std::function<void(app::Control)> onTextChanged;
    std::function<void()> onInterrupt;
    // Entries the list holds before anything is added (the staged rows of an earlier conversion).
    long long listedBefore = 0;

    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setText(app::Control control, const std::string& text) override;
    std::string text(app::Control control) const override;
    void setEnabled(app::Control control, bool enabled) override;
    bool isEnabled(app::Control control) const override { return states_.isEnabled(control); }
    void repaint(app::Control control) override;

    void clearList() override;
    void addListLine(const std::string& line) override;
    long long listCount() const override { return listedBefore + listed_; }
    // A list line could not be written (a full disk, a closed pipe).
    bool listLinesLost() const { return listLinesLost_; }
    void setProgress(int value) override;

    int messageBox(const std::string& text, app::MessageKind kind, const std::string& title) override;
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override;
    // Takes Ctrl+C for onInterrupt when one is set; draws the bar of a conversion without the
    // window.
    // The console has no report button: the command's --report names the file.
    std::string saveReportAs(const std::string&, const std::string&) override { return {}; }
    std::string openDocument(const std::string&) override { return {}; }
    void pumpEvents() override;
    void setBusyPointer(bool) override {}
    bool fileExists(const std::string& path) const override;
    std::string startProgram(const std::string& commandLine) override;
    std::string groupSeparator() const override;

    // A conversion without the window reports here.
    void showMessage(const std::string& text) override { messageBox(text, app::MessageKind::plain, {}); }
    void listCleared() override {}
    void fileStarted(int number) override;
    void recordsCounted(std::int32_t count) override { count_ = count; }
    bool cancelRequested() override;
    void rowRefused(const std::string& reason, const adr::SourcePosition& where) override;

    // True when the import's choice of only the new addresses found neither an option nor a
    // terminal to answer it.
    bool onlyNewUnanswered() const { return onlyNewUnanswered_; }
    // True when Ctrl+C cancelled a conversion.
    bool cancelled() const { return cancelled_; }
    // Clears the progress bar before other output follows.
    void finishProgress() { progressLine_.clear(); }

private:
    // The answer preset by an option, else asked on the terminal; Cancel when nobody can
    // answer (the option that would is named).
    int ask(std::string_view prompt, std::optional<bool> preset, int yes, int no, std::string_view option);
    // The import's choice: Yes for only the new addresses, No for all, else Cancel. An option
    // that makes the choice still leaves the confirmation to --yes or the terminal, as without
    // the choice; an answer on the terminal is the confirmation.
    int askOnlyNew();
    // Called for every line read: the count is formatted only for a bar that is shown.
    void drawCount();

    Answers answers_;
    std::string caption_;
    app::ControlStates states_;
    long long listed_ = 0;
    bool listLinesLost_ = false;
    int progress_ = 0;
    ProgressLine progressLine_;
    bool cancelled_ = false;
    bool onlyNewUnanswered_ = false;
    // The address file being read and the records counted, when a conversion reports here.
    int file_ = 0;
    std::int32_t count_ = 0;
};

}  // namespace cli
