// The user's hands on a dialog's real controls. Each toolkit's test support
// implements it, so that a test written once runs on Qt and on Win32.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Afx.h"

namespace tavirap::test {

enum class Key { Enter, Escape, Up, Down, F1 };

// A message box as the user saw it, in the framework's terms.
struct Box {
    std::string title;
    std::string text;
    UINT icon = 0;             // MB_ICONHAND ... MB_ICONASTERISK, 0 for none
    std::vector<int> buttons;  // their ids, left to right
    bool ownedByDialog = false;
    bool operator==(const Box&) const = default;
};

class UiDriver {
public:
    virtual ~UiDriver() = default;

    // Creates the dialog's window; returns when it shows.
    virtual void Open() = 0;
    virtual bool IsOpen() const = 0;
    // Runs the dialog modally, doing `whileOpen` once it shows; DoModal's result.
    virtual INT_PTR RunModal(const std::function<void()>& whileOpen) = 0;

    // The user: with the mouse, the keyboard and the window's close box.
    virtual void Click(int id) = 0;
    // Focuses the field, selects its text and types over it.
    virtual void Type(int id, const std::string& text) = 0;
    // Focuses the control and presses the key.
    virtual void Press(int id, Key key) = 0;
    // Chooses a list entry with the mouse.
    virtual void Choose(int id, int index) = 0;
    virtual void CloseBox() = 0;

    // Code: no user's event.
    virtual void SetText(int id, const std::string& text) = 0;
    virtual void Select(int id, int index) = 0;

    virtual std::string Text(int id) const = 0;
    virtual int Selection(int id) const = 0;
    virtual std::vector<std::string> Entries(int id) const = 0;
    virtual int FocusedId() const = 0;
    // The whole text of the edit field (a combo box's own) selected.
    virtual bool TextSelected(int id) const = 0;
    // Whether the field's text fits its visible width, the caret at its end.
    virtual bool TextFits(int id) const = 0;
    // The ids of the controls Tab visits, from the first tab stop.
    virtual std::vector<int> TabOrder() const = 0;
    // Every message box shown so far, each answered with the driver's answer.
    virtual const std::vector<Box>& Boxes() const = 0;
};

// The toolkit's driver of `dialog`, answering message boxes with `answer`.
std::unique_ptr<UiDriver> MakeUiDriver(CDialog& dialog, int answer = IDOK);

}  // namespace tavirap::test
