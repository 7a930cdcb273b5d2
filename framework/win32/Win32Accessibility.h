// The accessibility services (COM, and oleacc through it) load at the first
// request of an accessibility client, WM_GETOBJECT to the dialog or to a
// control that takes the focus, and only then are the dialogs' controls
// named: a start that no client reads loads neither.
#pragma once

#include "platform/win32/Win32Api.h"

namespace tavirap {

class Win32DialogWindow;

// Watches a control for a client's first request; a client asks the focused
// control itself.
void WatchForAccessibilityClients(HWND control);
// Loads the services, unless they are loaded already, and names the controls
// of every live dialog.
void LoadAccessibilityOnRequest();
// The services that name controls; null until loaded, or when they are missing.
IAccPropServices* AccessibilityServices();
// The live dialogs, to be named once the services are loaded.
void AddNamedDialog(Win32DialogWindow* window);
void RemoveNamedDialog(Win32DialogWindow* window);
// Releases the services and COM, as the backend ends.
void UnloadAccessibility();

}  // namespace tavirap
