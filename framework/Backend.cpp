#include "framework/Backend.h"

#include "framework/Error.h"

namespace tavirap {

namespace {
WindowBackend* g_backend = nullptr;

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

WindowBackend& AfxGetBackend() {
    if (g_backend == nullptr) {
        throw Error("no window backend: the program's entry point sets one");
    }
    return *g_backend;
}

void AfxSetBackend(WindowBackend* backend) {
    g_backend = backend;
}

int DialogWindow::ComboSelectString(int id, std::string_view prefix) {
    const int count = ComboCount(id);
    for (int index = 0; index < count; ++index) {
        if (StartsWithNoCase(ComboEntry(id, index), prefix)) {
            ComboChoose(id, index);
            return index;
        }
    }
    return kComboNone;
}

void DialogWindow::ComboSetCurSel(int id, int index) {
    ComboChoose(id, index >= 0 && index < ComboCount(id) ? index : -1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace tavirap
