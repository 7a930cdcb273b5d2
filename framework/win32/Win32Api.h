// <windows.h> and <commctrl.h> for code that also uses the dialog framework.
// The framework declares the Win32 numbers it speaks in as constants of its
// own (framework/WinTypes.h), which the system headers define as macros of
// the same names and values. Include this instead of <windows.h>: the
// framework's declarations come first, then the system headers, and then the
// macros that would hide the framework's names are removed, so that both
// tavirap::WM_COMMAND and SendMessageA(..., WM_COMMAND, ...) inside namespace
// tavirap mean the one number. MessageBox, LoadIcon and SendMessage are the
// framework's member functions here, not the A/W macros: call the A
// functions by their full names.
#pragma once

#include "framework/WinTypes.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
// The GUIDs of the accessibility services, defined here once for all.
#include <initguid.h>
#include <oleacc.h>
#include <shellapi.h>

#undef WM_PAINT
#undef WM_QUERYDRAGICON
#undef WM_ICONERASEBKGND
#undef WM_SETICON
#undef WM_INITDIALOG
#undef WM_COMMAND
#undef CB_ADDSTRING
#undef LB_ADDSTRING
#undef ICON_SMALL
#undef ICON_BIG
#undef BN_CLICKED
#undef CBN_SELCHANGE
#undef IDOK
#undef IDCANCEL
#undef IDABORT
#undef IDRETRY
#undef IDIGNORE
#undef IDYES
#undef IDNO
#undef WS_POPUP
#undef WS_VISIBLE
#undef WS_DISABLED
#undef WS_CAPTION
#undef WS_BORDER
#undef WS_VSCROLL
#undef WS_SYSMENU
#undef WS_GROUP
#undef WS_TABSTOP
#undef WS_MINIMIZEBOX
#undef WS_MAXIMIZEBOX
#undef WS_CHILD
#undef WS_EX_STATICEDGE
#undef WS_EX_APPWINDOW
#undef DS_SETFONT
#undef DS_MODALFRAME
#undef BS_PUSHBUTTON
#undef BS_DEFPUSHBUTTON
#undef BS_GROUPBOX
#undef BS_TYPEMASK
#undef BS_CENTER
#undef SS_LEFT
#undef SS_CENTER
#undef SS_RIGHT
#undef SS_TYPEMASK
#undef SS_CENTERIMAGE
#undef ES_LEFT
#undef ES_UPPERCASE
#undef ES_AUTOHSCROLL
#undef ES_NUMBER
#undef CBS_DROPDOWN
#undef CBS_DROPDOWNLIST
#undef CBS_TYPEMASK
#undef CBS_AUTOHSCROLL
#undef CBS_SORT
#undef CBS_NOINTEGRALHEIGHT
#undef CBS_UPPERCASE
#undef CB_ERR
#undef MB_OK
#undef MB_OKCANCEL
#undef MB_ABORTRETRYIGNORE
#undef MB_YESNOCANCEL
#undef MB_YESNO
#undef MB_RETRYCANCEL
#undef MB_TYPEMASK
#undef MB_ICONHAND
#undef MB_ICONQUESTION
#undef MB_ICONEXCLAMATION
#undef MB_ICONASTERISK
#undef MB_ICONMASK
#undef MB_ICONERROR
#undef MB_ICONWARNING
#undef MB_ICONINFORMATION
#undef SM_CXICON
#undef SM_CYICON
#undef MessageBox
#undef LoadIcon
#undef SendMessage
