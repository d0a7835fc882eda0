@echo off
rem Starts VARNOK with the settings file beside this file, in the themes folder, where the sample
rem themes find their pictures by bare file name. A bare settings name would mean the Windows
rem folder, which a standard user cannot write, so the first start writes the settings file here
rem with full paths. The folder's path is read once, before delayed expansion is on, and used
rem through delayed expansion or in quotes: "&", ")", "^" and "!" in it then stay plain text.
rem Each line is redirected on its own, at its start: Wine's cmd does not redirect a bracketed
rem block, and a redirection at the end would leave a space at the end of the line.
setlocal DisableDelayedExpansion
set "VARNOK_DIR=%~dp0"
if exist "%VARNOK_DIR%VARNOK.CFG" goto start
setlocal EnableDelayedExpansion
> "!VARNOK_DIR!VARNOK.CFG" echo [THEME]
>> "!VARNOK_DIR!VARNOK.CFG" echo File=!VARNOK_DIR!VARNOK.VKT
>> "!VARNOK_DIR!VARNOK.CFG" echo [LOG]
>> "!VARNOK_DIR!VARNOK.CFG" echo File=!VARNOK_DIR!VARNOK.LOG
>> "!VARNOK_DIR!VARNOK.CFG" echo [ALERT]
>> "!VARNOK_DIR!VARNOK.CFG" echo File=!VARNOK_DIR!VARNOK.WAV
endlocal
:start
start "" /D "%VARNOK_DIR%themes" "%VARNOK_DIR%VARNOK.exe" "%VARNOK_DIR%VARNOK.CFG"
