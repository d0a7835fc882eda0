; The VARNOK installer, built on Linux with NSIS by cmake/dist.cmake:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DPROGRAM=<VARNOK.exe> -DLICENSES=<folder of *.txt>
;            -DTHEMES=<folder of sample themes> -DDOCS=<folder of docs\guide.html, its pictures and
;            CHANGES.txt> -DICON=<icon> -DOUTFILE=<setup.exe> VARNOK.nsi
;
; Per user: no administrator prompt, the program under the user's local programs folder, the
; settings under %APPDATA%\VARNOK, which the installer fills only once and the uninstaller keeps.

!macro Required NAME
  !ifndef ${NAME}
    !error "${NAME} must be defined on the command line"
  !endif
!macroend
!insertmacro Required VERSION
!insertmacro Required PROGRAM
!insertmacro Required LICENSES
!insertmacro Required THEMES
!insertmacro Required DOCS
!insertmacro Required ICON
!insertmacro Required OUTFILE

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "VARNOK"
!define PUBLISHER "VARNOK Project"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VARNOK"
!define PRODUCT_KEY "Software\VARNOK"
!define SETTINGS_DIR "$APPDATA\VARNOK"
!define SETTINGS_FILE "$APPDATA\VARNOK\VARNOK.CFG"
!define GUIDE_LINK "$SMPROGRAMS\VARNOK 利用ガイド.lnk"
; The exit code of a silent run that found VARNOK running and changed nothing.
!define EXIT_PROGRAM_RUNNING 3

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\VARNOK"
; An upgrade goes where the previous version is, without uninstalling first.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
!define MUI_LANGDLL_REGISTRY_KEY "${PRODUCT_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSES}/VARNOK.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; Japanese first: it is the language of the program, and the installer's default.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_RESERVEFILE_LANGDLL

!macro VersionStrings LANGID
  VIAddVersionKey /LANG=${LANGID} "ProductName" "${PRODUCT}"
  VIAddVersionKey /LANG=${LANGID} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANGID} "FileDescription" "${PRODUCT} Setup"
  VIAddVersionKey /LANG=${LANGID} "FileVersion" "${VERSION}.0"
  VIAddVersionKey /LANG=${LANGID} "ProductVersion" "${VERSION}.0"
  VIAddVersionKey /LANG=${LANGID} "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"
!macroend
!insertmacro VersionStrings ${LANG_JAPANESE}
!insertmacro VersionStrings ${LANG_ENGLISH}

LangString SecProgramName ${LANG_JAPANESE} "VARNOK 本体、利用ガイド、スタートメニューのショートカット"
LangString SecProgramName ${LANG_ENGLISH} "VARNOK, its user guide and the Start-menu shortcuts"
LangString SecStartupName ${LANG_JAPANESE} "サインイン時に VARNOK を起動する"
LangString SecStartupName ${LANG_ENGLISH} "Start VARNOK when I sign in"
LangString SecProgramText ${LANG_JAPANESE} "プログラム、利用ガイド（HTML）、更新履歴、ライセンス文書、スタートメニューのショートカット（VARNOK と利用ガイド）。設定とサンプルテーマは初回だけ %APPDATA%\VARNOK に置かれます。"
LangString SecProgramText ${LANG_ENGLISH} "The program, its user guide (HTML, in Japanese), the change list, its licences and the Start-menu shortcuts to VARNOK and to the guide. Settings and sample themes are placed in %APPDATA%\VARNOK on the first installation only."
LangString SecStartupText ${LANG_JAPANESE} "スタートアップにショートカットを作ります。"
LangString SecStartupText ${LANG_ENGLISH} "Adds a shortcut to the Startup folder."
LangString ProgramRunning ${LANG_JAPANESE} "VARNOK が実行中です。パネルを右クリックして「終了」を選び、「再試行」を押してください。$\r$\n「キャンセル」を押すと何も変更せずに終わります。"
LangString ProgramRunning ${LANG_ENGLISH} "VARNOK is running. Right-click its panel, choose the last menu item (終了) to end it, then press Retry.$\r$\nCancel ends without changing anything."

; A running VARNOK keeps its program file open for execution, and such a file cannot be opened for
; writing: the test is exact for the copy in this folder, the only one that would be replaced or
; removed. Silent runs cannot ask and end with EXIT_PROGRAM_RUNNING, having changed nothing.
!macro RefuseWhileRunning
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\VARNOK.exe"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\VARNOK.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY`
      SetErrorLevel ${EXIT_PROGRAM_RUNNING}
      Quit
    ${EndIf}
  ${Loop}
!macroend

; A sample theme names its images by bare file name; the program would look for them in whatever
; the current folder happens to be, so the copy given to the user names them by full path.
!macro FullImagePath THEME SECTION
  ReadINIStr $1 "${SETTINGS_DIR}\${THEME}" "${SECTION}" "File"
  ${If} $1 != ""
  ${AndIf} ${FileExists} "${SETTINGS_DIR}\$1"
    WriteINIStr "${SETTINGS_DIR}\${THEME}" "${SECTION}" "File" "${SETTINGS_DIR}\$1"
  ${EndIf}
!macroend

; Copies every sample file that the settings folder does not hold yet: a file of the same name
; there is the user's, and stays as it is.
Function CopySampleThemes
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\themes"
  File "${THEMES}/*.*"
  FindFirst $2 $3 "$PLUGINSDIR\themes\*.*"
  ${DoWhile} $3 != ""
    ${IfNot} ${FileExists} "${SETTINGS_DIR}\$3"
      CopyFiles /SILENT "$PLUGINSDIR\themes\$3" "${SETTINGS_DIR}\$3"
      StrCpy $4 $3 "" -4
      ${If} $4 == ".VKT"
        !insertmacro FullImagePath $3 "SKIN"
        !insertmacro FullImagePath $3 "MASK"
      ${EndIf}
    ${EndIf}
    FindNext $2 $3
  ${Loop}
  FindClose $2
FunctionEnd

!macro ProgramShortcut LINK
  ; The working folder of the shortcut is the settings folder (the current output path).
  SetOutPath "${SETTINGS_DIR}"
  CreateShortcut "${LINK}" "$INSTDIR\VARNOK.exe" '"${SETTINGS_FILE}"' "$INSTDIR\VARNOK.exe" 0
!macroend

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  !insertmacro RefuseWhileRunning

  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  SetOutPath "$INSTDIR\licenses"
  File "${LICENSES}/*.txt"
  SetOutPath "$INSTDIR"
  File "${DOCS}/CHANGES.txt"
  SetOutPath "$INSTDIR\docs\images"
  File "${DOCS}/docs/images/*.*"
  SetOutPath "$INSTDIR\docs"
  File "${DOCS}/docs/guide.html"
  CreateShortcut "${GUIDE_LINK}" "$INSTDIR\docs\guide.html"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Only a first installation writes settings: the user's file and themes are never touched again.
  ${IfNot} ${FileExists} "${SETTINGS_FILE}"
    CreateDirectory "${SETTINGS_DIR}"
    Call CopySampleThemes
    ; Full paths: a bare name would resolve to the Windows folder, which a user cannot write.
    WriteINIStr "${SETTINGS_FILE}" "THEME" "File" "${SETTINGS_DIR}\VARNOK.VKT"
    WriteINIStr "${SETTINGS_FILE}" "LOG" "File" "${SETTINGS_DIR}\VARNOK.LOG"
    WriteINIStr "${SETTINGS_FILE}" "ALERT" "File" "${SETTINGS_DIR}\VARNOK.WAV"
  ${EndIf}

  !insertmacro ProgramShortcut "$SMPROGRAMS\VARNOK.lnk"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VARNOK.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SecStartupName)" SecStartup
  !insertmacro ProgramShortcut "$SMSTARTUP\VARNOK.lnk"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SecProgramText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "$(SecStartupText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "-StartupChoice"
  ; On an upgrade the choice made now replaces the earlier one.
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    Delete "$SMSTARTUP\VARNOK.lnk"
  ${EndIf}
SectionEnd

Function .onInit
  !insertmacro MUI_LANGDLL_DISPLAY
  ; An upgrade keeps the earlier start-at-sign-in choice as its default.
  ${If} ${FileExists} "$SMSTARTUP\VARNOK.lnk"
    !insertmacro SelectSection ${SecStartup}
  ${EndIf}
FunctionEnd

Function StartProgram
  SetOutPath "${SETTINGS_DIR}"
  Exec '"$INSTDIR\VARNOK.exe" "${SETTINGS_FILE}"'
FunctionEnd

Section "Uninstall"
  !insertmacro RefuseWhileRunning
  Delete "$SMPROGRAMS\VARNOK.lnk"
  Delete "${GUIDE_LINK}"
  Delete "$SMSTARTUP\VARNOK.lnk"
  Delete "$INSTDIR\VARNOK.exe"
  Delete "$INSTDIR\CHANGES.txt"
  Delete "$INSTDIR\licenses\*.txt"
  RMDir "$INSTDIR\licenses"
  ; The pictures are the guide's own: a version may add or drop some, so all of them go.
  Delete "$INSTDIR\docs\guide.html"
  Delete "$INSTDIR\docs\images\*.png"
  RMDir "$INSTDIR\docs\images"
  RMDir "$INSTDIR\docs"
  Delete "$INSTDIR\uninstall.exe"
  ; Only an empty folder goes: anything the user put there stays. The settings folder stays too.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${PRODUCT_KEY}"
SectionEnd

Function un.onInit
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd
