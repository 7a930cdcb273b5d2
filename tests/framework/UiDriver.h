// The user's hands on a dialog's real controls, one implementation for each
// toolkit, so that a scenario written once runs on Qt and on Win32.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Afx.h"

namespace tavirap::test {

enum class Key { Enter, Escape, Up, Down };
// How a question is answered: a button, or the Esc or Enter key.
enum class Answer { Yes, No, Cancel, Escape, Enter };

// A message box as the user saw it.
struct Box {
    std::string text;
    bool warningWithOk = false;    // the warning icon and one button, OK
    bool overShownDialog = false;  // the dialog was on the screen when it came
};

class UiDriver {
public:
    virtual ~UiDriver() = default;

    virtual void Open() = 0;  // creates the window; returns when it shows
    virtual bool IsOpen() const = 0;

    // With the mouse, the keyboard and the window's close box. Type focuses
    // the field, selects its text and types over it; Choose picks a list
    // entry with the mouse.
    virtual void Click(int id) = 0;
    virtual void Type(int id, const std::string& text) = 0;
    virtual void Press(int id, Key key) = 0;
    virtual void Choose(int id, int index) = 0;
    virtual void CloseBox() = 0;

    virtual std::string Text(int id) const = 0;
    virtual int FocusedId() const = 0;
    // Every message box shown so far, each answered with OK, or a question
    // with the answer set here (No until set).
    virtual const std::vector<Box>& Boxes() const = 0;
    void AnswerQuestionsWith(Answer answer) { answer_ = answer; }

    // Lets the toolkit's events run until done() holds, for a few seconds at
    // most; whether it holds.
    virtual bool WaitFor(const std::function<bool()>& done) = 0;

protected:
    Answer answer_ = Answer::No;
};

std::unique_ptr<UiDriver> MakeUiDriver(CDialog& dialog);

}  // namespace tavirap::test
