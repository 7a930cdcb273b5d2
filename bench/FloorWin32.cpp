// The floor of the Windows program's start: a bare dialog from a small
// in-memory template, with the form's window styles and font and one control
// of each kind the form uses, shown, painted and closed.
#include <windows.h>

#include <initializer_list>

namespace {

struct Item {
    WORD atom;  // the predefined class: 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    const wchar_t* text;
};

// The template's words, in a fixed buffer: nothing of the C++ library.
struct Words {
    alignas(DWORD) WORD w[512];
    unsigned n = 0;
    void push_back(WORD word) { w[n++] = word; }
    unsigned size() const { return n; }
};

void Add(Words& t, DWORD value) {
    t.push_back(LOWORD(value));
    t.push_back(HIWORD(value));
}

void Add(Words& t, const wchar_t* text) {
    do {
        t.push_back(static_cast<WORD>(*text));
    } while (*text++ != 0);
}

Words g_template;

const Words& Template(std::initializer_list<Item> items) {
    Words& t = g_template;
    Add(t, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
    Add(t, DWORD{WS_EX_APPWINDOW});
    t.push_back(static_cast<WORD>(items.size()));
    for (short v : {0, 0, 298, 288}) {
        t.push_back(static_cast<WORD>(v));
    }
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    Add(t, L"Floor");
    t.push_back(8);
    Add(t, L"MS Sans Serif");
    for (const Item& item : items) {
        if (t.size() % 2 != 0) {
            t.push_back(0);  // each item starts on a DWORD
        }
        Add(t, WS_CHILD | WS_VISIBLE | item.style);
        Add(t, DWORD{0});
        for (short v : {item.x, item.y, item.cx, item.cy}) {
            t.push_back(static_cast<WORD>(v));
        }
        t.push_back(item.id);
        t.push_back(0xFFFF);
        t.push_back(item.atom);
        Add(t, item.text);
        t.push_back(0);  // no creation data
    }
    return t;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    const bool close = message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL);
    if (close) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int main() {
    const Words& t = Template({
        {0x80, BS_GROUPBOX, 4, 14, 150, 192, 0xFFFF, L"Group:"},
        {0x82, SS_LEFT, 20, 31, 54, 18, 0xFFFF, L"LABEL :"},
        {0x85, CBS_DROPDOWN | WS_TABSTOP, 74, 30, 56, 114, 1001, L""},
        {0x81, ES_NUMBER | WS_BORDER | WS_TABSTOP, 215, 40, 40, 13, 1015, L""},
        {0x80, BS_DEFPUSHBUTTON | WS_TABSTOP, 157, 265, 50, 14, IDOK, L"SAVE"},
        {0x80, BS_PUSHBUTTON | WS_TABSTOP, 229, 265, 50, 14, IDCANCEL, L"EXIT"},
    });
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.w), nullptr, DialogProc, 0);
    return result == IDCANCEL ? 0 : 1;
}
