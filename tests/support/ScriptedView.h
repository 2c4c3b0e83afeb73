#pragma once
// The window as a test scripts it: controls held in memory, every message box recorded and
// answered from a queue (OK when the queue is empty), clicks during a run injected on pumping.

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/ControlStates.h"
#include "app/View.h"

namespace testing_support {

struct ShownMessage {
    std::string text;
    app::MessageKind kind = app::MessageKind::plain;
    std::string title;
};

class ScriptedView : public app::View {
public:
    // Change handlers of the id fields, run when their text is set (as the window does).
    std::function<void(app::Control)> onTextChanged;
    // Runs on every pumping of events (a click arriving during a conversion).
    std::function<void()> onPump;

    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setText(app::Control control, const std::string& text) override {
        states_.setText(control, text);
        if (onTextChanged && (control == app::Control::txtIDVon || control == app::Control::txtIdBis))
            onTextChanged(control);
    }
    std::string text(app::Control control) const override { return states_.text(control); }
    void setEnabled(app::Control control, bool enabled) override { states_.setEnabled(control, enabled); }
    bool isEnabled(app::Control control) const override { return states_.isEnabled(control); }
    void repaint(app::Control control) override { repaints.push_back(control); }

    void clearList() override { list.clear(); }
    void addListLine(const std::string& line) override { list.push_back(line); }
    long long listCount() const override { return static_cast<long long>(list.size()); }
    void setProgress(int value) override { progress = value; }

    int messageBox(const std::string& text, app::MessageKind kind, const std::string& title) override {
        messages.push_back({text, kind, title});
        if (answers.empty()) return app::answer::kOk;
        const int next = answers.front();
        answers.pop_front();
        return next;
    }
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override {
        browsed.push_back({title, startFolder});
        return folderChoice;
    }
    std::string saveReportAs(const std::string& title, const std::string& suggestedName) override {
        savePrompts.push_back({title, suggestedName});
        return saveChoice;
    }
    std::string openDocument(const std::string& path) override {
        opened.push_back(path);
        return openError;
    }
    void pumpEvents() override {
        ++pumps;
        if (onPump) onPump();
    }
    void setBusyPointer(bool busy) override { busyChanges.push_back(busy); }
    bool fileExists(const std::string& path) const override { return existingFiles.count(path) > 0 || checkDisk(path); }
    std::string startProgram(const std::string& commandLine) override {
        started.push_back(commandLine);
        return startError;
    }
    std::string groupSeparator() const override { return separator; }

    std::vector<ShownMessage> messages;
    std::deque<int> answers;
    std::vector<std::string> list;
    std::vector<app::Control> repaints;
    std::vector<std::pair<std::string, std::string>> browsed;
    std::vector<std::string> started;
    std::vector<std::pair<std::string, std::string>> savePrompts;
    std::vector<std::string> opened;
    std::string saveChoice;
    std::string openError;
    std::vector<bool> busyChanges;
    std::set<std::string> existingFiles;
    std::function<bool(const std::string&)> checkDisk = [](const std::string&) { return false; };
    std::string folderChoice;
    std::string startError;
    std::string separator = ".";
    int progress = 0;
    int pumps = 0;

private:
    std::string caption_;
    app::ControlStates states_;
};

}  // namespace testing_support
