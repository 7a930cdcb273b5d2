// The floor of the Windows program's start with the whole form, written
// plainly on Win32: dialog 100 of FloorFormWin32.rc, its lists filled and
// its icon set in WM_INITDIALOG, shown, painted and closed.
#include <windows.h>

namespace {

struct Entry {
    int id;
    const char* text;
};

const Entry kEntries[] = {
    {1001, "COM1"},        {1001, "COM2"},   {1001, "COM3"},      {1001, "COM4"},
    {1001, "COM5"},        {1001, "COM6"},   {1001, "COM7"},      {1001, "COM8"},
    {1001, "COM9"},        {1003, "600"},    {1003, "1200"},      {1003, "2400"},
    {1003, "4800"},        {1003, "9600"},   {1003, "19200"},     {1003, "38400"},
    {1003, "57600"},       {1003, "115200"}, {1006, "No Parity"}, {1006, "Odd Parity"},
    {1006, "Even Parity"}, {1008, "1"},      {1008, "2"},         {1009, "7"},
    {1009, "8"},           {1012, "2"},      {1012, "4"},         {1012, "8"},
    {1012, "16"},          {1012, "24"},     {1012, "32"},        {1012, "40"},
    {1012, "48"},          {1012, "56"},     {1012, "64"},        {1060, "Hardware"},
    {1060, "None"},
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        for (const Entry& e : kEntries) {
            SendDlgItemMessageA(dialog, e.id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text));
        }
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
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr, DialogProc, 0);
    return result == IDCANCEL ? 0 : 1;
}
