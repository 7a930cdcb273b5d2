// <windows.h> and the system headers the program's Win32 code uses, for the
// registry store and the Win32 backend alike, with the same settings everywhere
// (no min and max macros). The dialog framework's names collide with none of
// their macros: include this in any order.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
// The GUIDs of the accessibility services, defined here once for all.
#include <initguid.h>
#include <oleacc.h>
#include <sddl.h>
#include <setupapi.h>
#include <shellapi.h>

namespace tavirap {

// A function of a DLL loaded at run time (LoadLibrary), for the DLLs the
// program loads only when it needs them; null when the DLL or the function
// is missing.
template <typename Function>
Function Proc(HMODULE module, const char* name) {
    return module != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

}  // namespace tavirap
