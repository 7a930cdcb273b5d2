// The Win32 backend's window: a dialog of user32 built from the dialog
// template, with its controls, for the backend's files alone.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "framework/win32/Win32Backend.h"

namespace tavirap {

// A window's text, in the ANSI code page.
std::string WindowText(HWND hwnd);

class Win32DialogWindow : public DialogWindow {
public:
    Win32DialogWindow(const DialogTemplate& dialog, CWnd& owner);
    ~Win32DialogWindow() override;
    Win32DialogWindow(const Win32DialogWindow&) = delete;
    Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

    DialogBaseUnits BaseUnits() const override {
        RECT r{0, 0, 4, 8};
        MapDialogRect(hwnd_, &r);
        return {r.right, r.bottom};
    }
    void CenterOnScreen() override;
    void MoveTo(int x, int y) override {
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Show() override {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
    int RunModal() override;
    void EndModal(int result) override;

    void SetIcon(IconHandle icon, bool big) override {
        SendMessageA(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon));
    }
    bool IsIconic() const override { return ::IsIconic(hwnd_) != FALSE; }
    CRect ClientRect() const override {
        RECT r{};
        ::GetClientRect(hwnd_, &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    std::unique_ptr<DeviceContext> BeginPaint() override;
    void DefaultProcessing() override { defaultWanted_ = true; }

    std::string GetText(int id) const override { return WindowText(Control(id)); }
    void SetText(int id, std::string_view text) override {
        SetWindowTextA(Control(id), std::string(text).c_str());
        for (std::size_t i = 0; i < template_.controls.size(); ++i) {
            if (template_.controls[i].id == id) {
                NameFromLabels(i);
            }
        }
    }
    int ComboAddString(int id, std::string_view text) override {
        const std::string entry(text);
        return static_cast<int>(
            SendMessageA(Control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str())));
    }
    int ComboGetCurSel(int id) const override {
        return static_cast<int>(SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
    }
    void FocusControl(int id, bool selectText) override;
    // The shield is what Windows users know; it needs no tooltip.
    void MarkNeedsRights(int id, std::string_view) override {
        SendMessageA(Control(id), BCM_SETSHIELD, 0, TRUE);
    }
    void PostCommand(int id) override { PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    HWND Handle() const { return hwnd_; }
    // The control's window; throws when the template has no such control.
    // The help command, as F1 gives it.
    void Help();
    HWND Control(int id) const;
    // The name assistive technology is given for a control: after its label
    // where the form pairs it with one, otherwise its own text.
    std::string AccessibleName(int id) const;
    // Gives every labelled control its name; done once the accessibility
    // services are loaded, and again as labels change.
    void NameControls();

    static INT_PTR CALLBACK DialogProc(HWND hwnd, ::UINT message, ::WPARAM wParam, ::LPARAM lParam);

protected:
    int ComboCount(int id) const override {
        return static_cast<int>(SendMessageA(Control(id), CB_GETCOUNT, 0, 0));
    }
    std::string ComboEntry(int id, int index) const override {
        HWND combo = Control(id);
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        const LRESULT got = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
        return text;
    }
    void ComboChoose(int id, int index) override {
        SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

private:
    // Hands a message to the owner's WindowProc; false when the owner asked
    // for the default handling (or took no interest in it).
    bool Deliver(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Gives the controls that a label names the accessible name it makes,
    // through the accessibility services once they are loaded: Windows would
    // name a field after the static text created just before it, which is
    // the wrong one for some of the form's fields and none of the rows'.
    void NameFromLabels(std::size_t labelIndex);

    const DialogTemplate& template_;
    CWnd& owner_;
    HWND hwnd_ = nullptr;
    bool painting_ = false;
    bool defaultWanted_ = false;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace tavirap
