#include <cstdint>
#include <string>
#include <vector>

#include "framework/Error.h"
#include "framework/win32/Win32Backend.h"

namespace tavirap {

namespace {

// The predefined window classes of dialog items, by their atoms.
struct ItemClass {
    ControlKind kind;
    WORD atom;
};
const ItemClass kItemClasses[] = {
    {ControlKind::Button, 0x0080}, {ControlKind::GroupBox, 0x0080}, {ControlKind::Edit, 0x0081},
    {ControlKind::Static, 0x0082}, {ControlKind::ComboBox, 0x0085},
};

WORD ItemClassAtom(ControlKind kind) {
    for (const ItemClass& c : kItemClasses) {
        if (c.kind == kind) {
            return c.atom;
        }
    }
    throw Error("unknown control kind");
}

class TemplateWriter {
public:
    void Word(WORD w) { words_.push_back(w); }
    void DWord(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Short(int value) { Word(static_cast<WORD>(static_cast<std::int16_t>(value))); }
    // Template texts are UTF-16 with a terminating zero.
    void Text(std::string_view ansi) {
        if (!ansi.empty()) {
            const int size = static_cast<int>(ansi.size());
            const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
            std::wstring wide(static_cast<std::size_t>(length), L'\0');
            MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
            for (wchar_t c : wide) {
                Word(static_cast<WORD>(c));
            }
        }
        Word(0);
    }
    void AlignToDWord() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(words_); }

private:
    std::vector<WORD> words_;
};

void WriteRect(TemplateWriter& out, const DialogRect& r) {
    out.Short(r.x);
    out.Short(r.y);
    out.Short(r.cx);
    out.Short(r.cy);
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog) {
    if (dialog.controls.size() > 0xFFFF) {
        throw Error("too many controls for a dialog template");
    }
    TemplateWriter out;
    const bool hasFont = (dialog.style & DS_SETFONT) != 0;
    out.DWord(dialog.style & ~static_cast<DWORD>(WS_VISIBLE));
    out.DWord(dialog.exStyle);
    out.Word(static_cast<WORD>(dialog.controls.size()));
    WriteRect(out, dialog.rect);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(dialog.caption);
    if (hasFont) {
        out.Word(static_cast<WORD>(dialog.pointSize));
        out.Text(dialog.fontName);
    }
    for (const DialogControl& c : dialog.controls) {
        out.AlignToDWord();
        out.DWord(c.style);
        out.DWord(c.exStyle);
        WriteRect(out, c.rect);
        out.Word(static_cast<WORD>(c.id));  // -1 is 0xFFFF, as resource compilers write it
        out.Word(0xFFFF);
        out.Word(ItemClassAtom(c.kind));
        out.Text(c.text);
        out.Word(0);  // no creation data: the lists come from the init data
    }
    return out.Take();
}

}  // namespace tavirap
