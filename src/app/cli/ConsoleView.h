#pragma once
// The window's logic on a console: list lines go to stdout, message boxes become lines on
// stderr, questions are answered by options or asked on a terminal, Ctrl+C clicks
// "abbrechen".

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "app/View.h"
#include "app/cli/ProgressLine.h"

namespace cli {

struct Answers {
    std::optional<bool> confirm;          // --yes: the import's confirmation and the undo's
    std::optional<bool> undoPrevious;     // --undo-previous yes|no
    bool mayAsk = false;                  // stdin is a terminal
};

class ConsoleView : public app::View {
public:
    explicit ConsoleView(Answers answers);

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
    bool isEnabled(app::Control control) const override { return disabled_.count(control) == 0; }
    void repaint(app::Control control) override;

    void clearList() override;
    void addListLine(const std::string& line) override;
    long long listCount() const override { return listedBefore + listed_; }
    void setProgress(int value) override;

    int messageBox(const std::string& text, app::MessageKind kind, const std::string& title) override;
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override;
    void pumpEvents() override;
    void setBusyPointer(bool) override {}
    bool fileExists(const std::string& path) const override;
    std::string startProgram(const std::string& commandLine) override;
    std::string groupSeparator() const override;

    // True when Ctrl+C cancelled a conversion.
    bool cancelled() const { return cancelled_; }

private:
    // The answer preset by an option, else asked on the terminal; Cancel when nobody can
    // answer (the option that would is named).
    int ask(const std::string& prompt, std::optional<bool> preset, int yes, int no, const char* option);

    Answers answers_;
    std::string caption_;
    std::map<app::Control, std::string> texts_;
    std::set<app::Control> disabled_{app::Control::cmdImport, app::Control::cmdUndo};
    long long listed_ = 0;
    int progress_ = 0;
    ProgressLine progressLine_;
    bool cancelled_ = false;
};

}  // namespace cli
