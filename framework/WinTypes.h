// The Win32 numbers the dialog framework speaks in: messages, notification
// codes, window and control styles, message-box flags and command ids. They
// are plain constants here so that the toolkit-neutral code needs no
// <windows.h>; the values are the system's own, so a Win32 backend can pass
// them straight through. Their names (ws::kChild for WS_CHILD) are none of
// <windows.h>'s macros, so the two can be included in either order.
#pragma once

#include <cstdint>

namespace tavirap {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;

// An icon as the backend knows it; opaque to everything else. (Not Windows'
// HICON: a Win32 backend converts between the two.)
struct IconObject;
using IconHandle = IconObject*;

// A device context of one paint message (see CPaintDC).
class DeviceContext;

constexpr WPARAM MakeWParam(unsigned low, unsigned high) {
    return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned LowWord(WPARAM w) {
    return static_cast<unsigned>(w & 0xFFFFu);
}
constexpr unsigned HighWord(WPARAM w) {
    return static_cast<unsigned>((w >> 16) & 0xFFFFu);
}

// Messages (WM_...), with WM_SETICON's two icons.
namespace wm {
inline constexpr UINT kPaint = 0x000F;
inline constexpr UINT kQueryDragIcon = 0x0037;
inline constexpr UINT kIconEraseBkgnd = 0x0027;
inline constexpr UINT kSetIcon = 0x0080;
inline constexpr UINT kCommand = 0x0111;
inline constexpr WPARAM kSetIconSmall = 0;
inline constexpr WPARAM kSetIconBig = 1;
}  // namespace wm

// The message number that dialog init data carries for a combo box's "add a
// string".
inline constexpr std::uint16_t kInitComboAddString = 0x0403;

// Notification codes carried in the high word of WM_COMMAND's wParam
// (CN_COMMAND, BN_CLICKED, CBN_SELCHANGE).
namespace notify {
inline constexpr UINT kCommand = 0;
inline constexpr UINT kClicked = 0;
inline constexpr UINT kSelChange = 1;
}  // namespace notify

// Command ids (IDOK ... IDNO, ID_HELP), which message boxes also return.
namespace cmd {
inline constexpr UINT kOk = 1;
inline constexpr UINT kCancel = 2;
inline constexpr UINT kAbort = 3;
inline constexpr UINT kRetry = 4;
inline constexpr UINT kIgnore = 5;
inline constexpr UINT kYes = 6;
inline constexpr UINT kNo = 7;
inline constexpr UINT kHelp = 0xE146;  // 57670
}  // namespace cmd

// Window styles (WS_..., WS_EX_...).
namespace ws {
inline constexpr std::uint32_t kPopup = 0x80000000u;
inline constexpr std::uint32_t kVisible = 0x10000000u;
inline constexpr std::uint32_t kCaption = 0x00C00000u;
inline constexpr std::uint32_t kBorder = 0x00800000u;
inline constexpr std::uint32_t kVScroll = 0x00200000u;
inline constexpr std::uint32_t kSysMenu = 0x00080000u;
inline constexpr std::uint32_t kTabStop = 0x00010000u;
inline constexpr std::uint32_t kMinimizeBox = 0x00020000u;  // in a window's own style
inline constexpr std::uint32_t kMaximizeBox = 0x00010000u;  // in a window's own style
inline constexpr std::uint32_t kChild = 0x40000000u;

inline constexpr std::uint32_t kExStaticEdge = 0x00020000u;
inline constexpr std::uint32_t kExAppWindow = 0x00040000u;
}  // namespace ws

// Dialog styles (DS_...).
namespace ds {
inline constexpr std::uint32_t kSetFont = 0x40u;
inline constexpr std::uint32_t kModalFrame = 0x80u;
}  // namespace ds

// Button styles (BS_...).
namespace bs {
inline constexpr std::uint32_t kPushButton = 0x0u;
inline constexpr std::uint32_t kDefPushButton = 0x1u;
inline constexpr std::uint32_t kGroupBox = 0x7u;
inline constexpr std::uint32_t kTypeMask = 0xFu;
inline constexpr std::uint32_t kCenter = 0x300u;
}  // namespace bs

// Static styles (SS_...).
namespace ss {
inline constexpr std::uint32_t kLeft = 0x0u;
inline constexpr std::uint32_t kCenter = 0x1u;
inline constexpr std::uint32_t kRight = 0x2u;
inline constexpr std::uint32_t kTypeMask = 0x1Fu;
inline constexpr std::uint32_t kCenterImage = 0x200u;
}  // namespace ss

// Edit styles (ES_...).
namespace es {
inline constexpr std::uint32_t kLeft = 0x0u;
inline constexpr std::uint32_t kUpperCase = 0x8u;
inline constexpr std::uint32_t kNumber = 0x2000u;
}  // namespace es

// Combo-box styles (CBS_...).
namespace cbs {
inline constexpr std::uint32_t kDropDown = 0x2u;
inline constexpr std::uint32_t kDropDownList = 0x3u;
inline constexpr std::uint32_t kTypeMask = 0x3u;
inline constexpr std::uint32_t kNoIntegralHeight = 0x400u;
inline constexpr std::uint32_t kUpperCase = 0x2000u;
}  // namespace cbs

// What a combo box's search returns when no entry matches (CB_ERR).
inline constexpr int kComboNone = -1;

// Message-box flags (MB_...).
namespace mb {
inline constexpr UINT kOk = 0x0u;
inline constexpr UINT kOkCancel = 0x1u;
inline constexpr UINT kAbortRetryIgnore = 0x2u;
inline constexpr UINT kYesNoCancel = 0x3u;
inline constexpr UINT kYesNo = 0x4u;
inline constexpr UINT kRetryCancel = 0x5u;
inline constexpr UINT kTypeMask = 0xFu;
inline constexpr UINT kIconHand = 0x10u;
inline constexpr UINT kIconQuestion = 0x20u;
inline constexpr UINT kIconExclamation = 0x30u;
inline constexpr UINT kIconAsterisk = 0x40u;
inline constexpr UINT kIconMask = 0xF0u;
inline constexpr UINT kIconInformation = kIconAsterisk;
inline constexpr UINT kDefButton1 = 0x000u;
inline constexpr UINT kDefButton2 = 0x100u;
inline constexpr UINT kDefButton3 = 0x200u;
inline constexpr UINT kDefMask = 0xF00u;
}  // namespace mb

// System metrics (SM_...).
namespace sm {
inline constexpr int kCxIcon = 11;
inline constexpr int kCyIcon = 12;
}  // namespace sm

}  // namespace tavirap
