@echo off
rem Stands in for the run with administrator rights in the dialog's scenarios:
rem ends as TAVIRAP_TEST_ELEVATION says, or runs the program it is given (the
rem test program, importing into the scenario's store).
if "%TAVIRAP_TEST_ELEVATION%"=="exit-1" exit /b 1
if "%TAVIRAP_TEST_ELEVATION%"=="exit-4" exit /b 4
if "%TAVIRAP_TEST_ELEVATION%"=="exit-5" exit /b 5
%1 %2 %3
exit /b %ERRORLEVEL%
