// The Win32 numbers the dialog framework speaks in: messages, notification
// codes, window and control styles, message-box flags and command ids. They
// are plain constants here so that the toolkit-neutral code needs no
// <windows.h>; the values are the system's own, so a Win32 backend can pass
// them straight through.
#pragma once

#include <cstdint>

namespace tavirap {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;

// An icon as the backend knows it; opaque to everything else.
struct IconObject;
using HICON = IconObject*;
using HCURSOR = HICON;

// A device context of one paint message (see CPaintDC).
class DeviceContext;
using HDC = DeviceContext*;

constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
    return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned LOWORD(WPARAM w) {
    return static_cast<unsigned>(w & 0xFFFFu);
}
constexpr unsigned HIWORD(WPARAM w) {
    return static_cast<unsigned>((w >> 16) & 0xFFFFu);
}

// Messages.
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT LB_ADDSTRING = 0x0180;

// The message numbers that dialog init data carries for "add a string".
inline constexpr std::uint16_t kInitListAddString = 0x0401;
inline constexpr std::uint16_t kInitComboAddString = 0x0403;

inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;

// Notification codes carried in the high word of WM_COMMAND's wParam.
inline constexpr UINT CN_COMMAND = 0;
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT CBN_SELCHANGE = 1;

// Command ids.
inline constexpr UINT IDOK = 1;
inline constexpr UINT IDCANCEL = 2;
inline constexpr UINT IDABORT = 3;
inline constexpr UINT IDRETRY = 4;
inline constexpr UINT IDIGNORE = 5;
inline constexpr UINT IDYES = 6;
inline constexpr UINT IDNO = 7;
inline constexpr UINT ID_HELP = 0xE146;  // 57670

// Window styles.
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000u;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr std::uint32_t WS_BORDER = 0x00800000u;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000u;  // in a window's own style
inline constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000u;  // in a window's own style
inline constexpr std::uint32_t WS_CHILD = 0x40000000u;

inline constexpr std::uint32_t WS_EX_STATICEDGE = 0x00020000u;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000u;

// Dialog styles.
inline constexpr std::uint32_t DS_SETFONT = 0x40u;
inline constexpr std::uint32_t DS_MODALFRAME = 0x80u;

// Button styles.
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0u;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1u;
inline constexpr std::uint32_t BS_GROUPBOX = 0x7u;
inline constexpr std::uint32_t BS_TYPEMASK = 0xFu;
inline constexpr std::uint32_t BS_CENTER = 0x300u;

// Static styles.
inline constexpr std::uint32_t SS_LEFT = 0x0u;
inline constexpr std::uint32_t SS_CENTER = 0x1u;
inline constexpr std::uint32_t SS_RIGHT = 0x2u;
inline constexpr std::uint32_t SS_TYPEMASK = 0x1Fu;
inline constexpr std::uint32_t SS_CENTERIMAGE = 0x200u;

// Edit styles.
inline constexpr std::uint32_t ES_LEFT = 0x0u;
inline constexpr std::uint32_t ES_UPPERCASE = 0x8u;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x80u;
inline constexpr std::uint32_t ES_NUMBER = 0x2000u;

// Combo-box styles.
inline constexpr std::uint32_t CBS_DROPDOWN = 0x2u;
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x3u;
inline constexpr std::uint32_t CBS_TYPEMASK = 0x3u;
inline constexpr std::uint32_t CBS_AUTOHSCROLL = 0x40u;
inline constexpr std::uint32_t CBS_SORT = 0x100u;
inline constexpr std::uint32_t CBS_NOINTEGRALHEIGHT = 0x400u;
inline constexpr std::uint32_t CBS_UPPERCASE = 0x2000u;

inline constexpr int CB_ERR = -1;

// Message-box flags.
inline constexpr UINT MB_OK = 0x0u;
inline constexpr UINT MB_OKCANCEL = 0x1u;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2u;
inline constexpr UINT MB_YESNOCANCEL = 0x3u;
inline constexpr UINT MB_YESNO = 0x4u;
inline constexpr UINT MB_RETRYCANCEL = 0x5u;
inline constexpr UINT MB_TYPEMASK = 0xFu;
inline constexpr UINT MB_ICONHAND = 0x10u;
inline constexpr UINT MB_ICONQUESTION = 0x20u;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30u;
inline constexpr UINT MB_ICONASTERISK = 0x40u;
inline constexpr UINT MB_ICONMASK = 0xF0u;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;

// System metrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;

}  // namespace tavirap
