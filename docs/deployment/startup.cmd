@echo off
rem A Windows startup script (Group Policy, Intune or the Task Scheduler, run
rem as SYSTEM): stores the TAVIRPORT driver's settings from a share, and logs
rem what happened; tavirap.com is the console program, which the script waits
rem for. Exit codes: 0 done, 1 the file was refused, 2 usage,
rem 3 administrator rights needed, 4 the registry could not be read or written.
rem The share must let the computer accounts read the file (SYSTEM reaches the
rem network as the computer); --strict stops at a text the dialog does not list.
rem %ProgramW6432% is C:\Program Files in a 32-bit process too.
"%ProgramW6432%\TAVIRAP\tavirap.com" --strict --import "\\fileserver\setup\tavirport.reg" > "%TEMP%\tavirap.log" 2>&1
set result=%ERRORLEVEL%
if not "%result%"=="0" (
    eventcreate /T ERROR /ID 100 /L APPLICATION /SO TAVIRAP /D "tavirap --import failed with exit code %result%"
)
exit /b %result%
