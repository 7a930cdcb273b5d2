@echo off
rem tavirap.com in a batch file: each run's output, then the exit code it left.
%1 --version
echo exit %ERRORLEVEL%
%1 --set PortAdd3=65
echo exit %ERRORLEVEL%
%1 --frobnicate
echo exit %ERRORLEVEL%
%1 --export
echo exit %ERRORLEVEL%
