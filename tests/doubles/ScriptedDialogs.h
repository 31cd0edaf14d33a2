#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace ondrevan::testing {

// Records every message box and answers Yes/No questions from a script (Yes when the
// script has run out). An action can run while a box is "up", as real message boxes let
// other handlers run.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        std::string text, title;
        MessageButtons buttons;
        MessageIcon icon;
    };

    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons, MessageIcon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (whileShown) {
            auto action = std::move(whileShown);
            whileShown = nullptr;
            action();
        }
        if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (answers.empty()) return MessageAnswer::Yes;
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::string BrowseForFolder(const std::string& title, const std::string& initial) override {
        browseTitles.push_back(title + "|" + initial);
        return Next(browseAnswers);
    }
    std::string PickFolder(const std::string& title) override {
        pickTitles.push_back(title);
        return Next(pickAnswers);
    }
    std::string OpenFileNames(const OpenFileRequest& request) override {
        openRequests.push_back(request);
        return Next(openAnswers);
    }

    std::string SaveFileName(const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        return Next(saveAnswers);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Shown& s : shown) texts.push_back(s.text);
        return texts;
    }

    std::vector<Shown> shown;
    std::deque<std::string> browseAnswers;  // "" (cancel) once they run out
    std::deque<std::string> openAnswers;
    std::vector<std::string> browseTitles;
    std::deque<std::string> pickAnswers;  // "" (cancel) once they run out
    std::vector<std::string> pickTitles;
    std::vector<OpenFileRequest> openRequests;
    std::deque<std::string> saveAnswers;  // "" (cancel) once they run out
    std::vector<SaveFileRequest> saveRequests;
    std::deque<MessageAnswer> answers;
    std::function<void()> whileShown;

  private:
    static std::string Next(std::deque<std::string>& answers) {
        if (answers.empty()) return "";
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace ondrevan::testing
