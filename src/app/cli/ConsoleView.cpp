#include "app/cli/ConsoleView.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "adr/FieldMapper.h"
#include "app/cli/Interrupt.h"
#include "app/cli/Platform.h"
#include "app/cli/Texts.h"
#include "text/Utf8Path.h"

namespace cli {

void say(const std::string& text) { std::fprintf(stderr, "%s\n", oneLine(text).c_str()); }

ConsoleView::ConsoleView(Answers answers, bool showProgress) : answers_(answers), progressLine_(stderr, showProgress) {}

void ConsoleView::setText(app::Control control, const std::string& text) {
    states_.setText(control, text);
    if (onTextChanged) onTextChanged(control);
}

std::string ConsoleView::text(app::Control control) const { return states_.text(control); }

void ConsoleView::setEnabled(app::Control control, bool enabled) { states_.setEnabled(control, enabled); }

void ConsoleView::repaint(app::Control control) {
    if (control == app::Control::lblListenkommentar) setProgress(progress_);
}

void ConsoleView::clearList() { listed_ = 0; }

void ConsoleView::addListLine(const std::string& line) {
    progressLine_.clear();
    if (!writeLine(stdout, line)) listLinesLost_ = true;
    ++listed_;
}

void ConsoleView::setProgress(int value) {
    progress_ = value;
    progressLine_.draw(value, text(app::Control::lblListenkommentar));
}

int ConsoleView::ask(std::string_view prompt, std::optional<bool> preset, int yes, int no, std::string_view option) {
    if (preset) return *preset ? yes : no;
    const auto unanswered = [option] {
        say(texts::noAnswerPossible(option));
        return app::answer::kCancel;
    };
    if (!answers_.mayAsk) return unanswered();
    // Ctrl+C while the question waits is no answer either: nothing is done.
    const auto interrupted = [] {
        std::fputc('\n', stderr);
        say(std::string(texts::kInterruptedQuestion));
        return app::answer::kCancel;
    };
    std::fprintf(stderr, "%.*s ", static_cast<int>(prompt.size()), prompt.data());
    if (!waitForInput(stdin, interruptRequested)) return interrupted();
    std::string reply;
    // An input that ends before the answer is no answer, not a deliberate "no".
    if (!std::getline(std::cin, reply)) return stopFollows(interruptRequested) ? interrupted() : unanswered();
    if (reply == "j" || reply == "J" || reply == texts::kYes) return yes;
    if (reply == "n" || reply == "N" || reply == texts::kNo) return no;
    return app::answer::kCancel;
}

int ConsoleView::askOnlyNew() {
    if (!answers_.onlyNew && !answers_.mayAsk) {
        onlyNewUnanswered_ = true;
        return app::answer::kCancel;
    }
    const int choice = ask(texts::kOnlyNewPrompt, answers_.onlyNew, app::answer::kYes, app::answer::kNo, {});
    if (choice == app::answer::kCancel || !answers_.onlyNew) return choice;
    return ask(texts::kGoOnPrompt, answers_.confirm, choice, app::answer::kCancel, texts::kConfirmOption);
}

int ConsoleView::messageBox(const std::string& text, app::MessageKind kind, const std::string& title) {
    (void)title;
    progressLine_.clear();
    say(text);
    if (kind == app::MessageKind::confirmation) {
        return ask(texts::kGoOnPrompt, answers_.confirm, app::answer::kOk, app::answer::kCancel, texts::kConfirmOption);
    }
    if (kind == app::MessageKind::yesNoQuestion) {
        return ask(texts::kYesNoPrompt, answers_.confirm, app::answer::kYes, app::answer::kNo, texts::kConfirmOption);
    }
    if (kind == app::MessageKind::onlyNewChoice) return askOnlyNew();
    if (kind == app::MessageKind::question) {
        return ask(texts::kYesNoCancelPrompt, answers_.undoPrevious, app::answer::kYes, app::answer::kNo,
                   texts::kUndoPreviousOption);
    }
    return app::answer::kOk;
}

std::string ConsoleView::browseForFolder(const std::string&, const std::string&) { return {}; }

void ConsoleView::pumpEvents() {
    if (file_ != 0) drawCount();
    // Without onInterrupt the Ctrl+C stays for cancelRequested.
    if (onInterrupt && takeInterrupt()) {
        cancelled_ = true;
        onInterrupt();
    }
}

void ConsoleView::fileStarted(int number) {
    file_ = number;
    drawCount();
}

void ConsoleView::rowRefused(const std::string& reason, const adr::SourcePosition& where) {
    const std::string text = texts::rowRefused(reason);
    showMessage(where.line == 0 ? text : text + " (" + where.describe() + ")");
}

bool ConsoleView::cancelRequested() {
    // Taken, so that a Ctrl+C that comes after the reading is told apart from this one.
    if (takeInterrupt()) cancelled_ = true;
    return cancelled_;
}

void ConsoleView::drawCount() {
    if (progressLine_.enabled()) progressLine_.draw(file_, std::to_string(count_));
}

bool ConsoleView::fileExists(const std::string& path) const {
    std::error_code ignored;
    return std::filesystem::is_regular_file(text::pathOf(path), ignored);
}

std::string ConsoleView::startProgram(const std::string&) { return std::string(texts::kNoOtherPrograms); }

std::string ConsoleView::groupSeparator() const { return cli::groupSeparator(); }

}  // namespace cli
