; vimbrel.nsi - the Windows installer, vimbrel-VERSION-setup.exe. It holds
; both savers and installs the one that matches the system (vimbrel64.scr on
; 64-bit Windows, vimbrel.scr elsewhere), for the current user (the default,
; no administrator rights: into the user's own programs folder) or for all
; users (into the system folder the screen-saver list reads; needs
; administrator rights). It can make Vimbrel the current screen saver,
; remembering the one it replaced, and adds an entry to the system's list
; of programs; the uninstaller removes what was installed, puts the previous
; screen saver back and, when asked, the user's settings.
;
; Built by scripts/make-installer:
;   makensis -DINFO=build/mingw64/package/installer.nsh
;            -DSCR32=.../vimbrel.scr -DSCR64=.../vimbrel64.scr (and their sizes)
;            -DPICTURE=.../installer-picture.bmp [-DSIGN=scripts/lib/sign-windows-program]
;            -DOUTFILE=dist/vimbrel-VERSION-setup.exe packaging/windows/vimbrel.nsi
;
; Switches (the installer's /? shows them):
;   /S               silent
;   /ALLUSERS        for all users (run as administrator)
;   /CURRENTUSER     for the current user alone (the default)
;   /NOSETCURRENT    leave the current screen saver as it is
;   /D=FOLDER        the install folder; last on the command line, no quotes
; The uninstaller: /S silent; /REMOVESETTINGS removes the user's settings
; too (a silent uninstall keeps them otherwise).

Unicode true
SetCompressor /SOLID lzma
; The files carry no time from the build machine: the same sources give the
; same installer.
SetDateSave off
; Per user by default, without elevation; "all users" needs the installer
; to be run as administrator.
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!include "${INFO}"
!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"
!include "x64.nsh"
!include "WinVer.nsh"

!define SETTINGS_KEY "Software\Kelvarn\ScreenSavers\Vimbrel"
; What the installer remembers for the uninstaller, per user.
!define SETUP_KEY "${SETTINGS_KEY}\Setup"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vimbrel"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "Vimbrel"
Caption "Vimbrel ${VIMBREL_VERSION} Setup"
UninstallCaption "Vimbrel ${VIMBREL_VERSION} Uninstall"
OutFile "${OUTFILE}"
BrandingText "${VIMBREL_PRODUCT} ${VIMBREL_VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VIMBREL_VERSION_NUMBERS}"
VIFileVersion "${VIMBREL_VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 "ProductName" "${VIMBREL_PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${VIMBREL_PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${VIMBREL_COPYRIGHT}"
VIAddVersionKey /LANG=1033 "FileDescription" "Vimbrel screen saver setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VIMBREL_VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VIMBREL_VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "vimbrel-${VIMBREL_VERSION}-setup.exe"
VIAddVersionKey /LANG=1033 "Comments" "Needs Windows 2000 or later"

Var AllUsers        ; 1: for all users
Var SetCurrent      ; 1: make Vimbrel the current screen saver
Var ScrName         ; vimbrel64.scr or vimbrel.scr
Var ScrPath         ; where the saver goes
Var IsAdmin
Var ScrExisted      ; 1: the saver's file was there before this install
Var UninstExisted   ; 1: so was the uninstaller
Var ModeJustMe
Var ModeEveryone

; Signed releases: the uninstaller is signed before it is stored, so that
; the one an install writes carries the signature too.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

!define MUI_ICON "${VIMBREL_ICON}"
; The scene, drawn by vimbrel-render at the pages' picture size.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_UNICON "${VIMBREL_ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This installs Vimbrel ${VIMBREL_VERSION}, a screen saver: over a still picture of a tiled floor, a pyramid and three dodecahedrons turn and travel, lit by two lights.$\r$\n$\r$\nIt installs the file that matches this Windows and can make Vimbrel the current screen saver.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
Page custom ModePageShow ModePageLeave
!define MUI_PAGE_CUSTOMFUNCTION_PRE DirectoryPagePre
!define MUI_DIRECTORYPAGE_TEXT_TOP "Vimbrel will be installed for you alone, in the folder below. To install it in another folder, click Browse and choose it.$\r$\n$\r$\nThe screen saver is a single file; it needs no administrator rights."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Vimbrel ${VIMBREL_VERSION} is installed. You can choose it in the screen-saver settings; its Settings button shows the scene live under its settings."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Make Vimbrel the current screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION FinishSetCurrent
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the screen-saver settings"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION FinishOpenSettings
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

!define HELP_TEXT "Vimbrel ${VIMBREL_VERSION} Setup: the switches$\r$\n$\r$\n\
/S   silent: no pages, no questions$\r$\n\
/CURRENTUSER   for you alone (the default)$\r$\n\
/ALLUSERS   for all users: run as administrator$\r$\n\
/NOSETCURRENT   leave the current screen saver$\r$\n\
/D=FOLDER   the install folder: last, no quotes$\r$\n$\r$\n\
uninstall.exe, in the install folder:$\r$\n\
/S   silent: keeps your settings$\r$\n\
/REMOVESETTINGS   removes your settings too"

; --- Shared pieces --------------------------------------------------------

; Registry and file-system views: the 64-bit ones on 64-bit Windows.
!macro NativeViews
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

; Pushes 1 when the switch (e.g. "/ALLUSERS") is on the command line, else 0.
!macro HasSwitch SWITCH RESULT
  ${GetParameters} ${RESULT}
  ClearErrors
  ${GetOptions} ${RESULT} "${SWITCH}" ${RESULT}
  ${If} ${Errors}
    StrCpy ${RESULT} 0
  ${Else}
    StrCpy ${RESULT} 1
  ${EndIf}
!macroend

; The long form of a path (as the file system has it), or the path itself
; when it names no existing file.
!macro LongPath FUNCPREFIX
Function ${FUNCPREFIX}LongPath
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 > 0
  ${AndIf} $2 < ${NSIS_MAX_STRLEN}
    StrCpy $0 $1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro LongPath ""
!insertmacro LongPath "un."

; Tells the system that the screen saver was switched on or off.
!macro TellScreenSaveActive VALUE
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i ${VALUE}, p 0, i ${SPIF_UPDATE_AND_SEND})'
!macroend

; --- The installer --------------------------------------------------------

Function .onInit
  !insertmacro HasSwitch "/?" $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONINFORMATION "${HELP_TEXT}"
    SetErrorLevel 0
    Quit
  ${EndIf}
  !insertmacro NativeViews
  ${If} ${RunningX64}
    StrCpy $ScrName "vimbrel64.scr"
  ${Else}
    StrCpy $ScrName "vimbrel.scr"
  ${EndIf}
  Call SetSectionSize
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $IsAdmin 1
  ${Else}
    StrCpy $IsAdmin 0
  ${EndIf}
  ; The mode: a switch, else the mode of the existing install, else per user.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $1 == ""
  ${AndIf} $IsAdmin == 1
    StrCpy $AllUsers 1
  ${EndIf}
  !insertmacro HasSwitch "/ALLUSERS" $0
  ${If} $0 == 1
    StrCpy $AllUsers 1
  ${EndIf}
  !insertmacro HasSwitch "/CURRENTUSER" $0
  ${If} $0 == 1
    StrCpy $AllUsers 0
  ${EndIf}
  ${If} $AllUsers == 1
  ${AndIf} $IsAdmin != 1
    MessageBox MB_OK|MB_ICONSTOP "Installing Vimbrel for all users needs administrator rights: run the installer as administrator, or install it for yourself alone." /SD IDOK
    SetErrorLevel 5 ; access denied
    Quit
  ${EndIf}
  !insertmacro HasSwitch "/NOSETCURRENT" $0
  ${If} $0 == 1
    StrCpy $SetCurrent 0
  ${Else}
    StrCpy $SetCurrent 1
  ${EndIf}
  ; /D= sets $INSTDIR before this; otherwise the mode's folder.
  ${If} $INSTDIR == ""
    Call DefaultFolder
  ${EndIf}
FunctionEnd

; The existing install's folder in this mode, else the mode's usual one:
; the user's own programs folder, or Program Files (which then holds only
; the uninstaller: the saver goes to the system folder).
Function DefaultFolder
  ${If} $AllUsers == 1
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
      ${If} ${RunningX64}
        StrCpy $INSTDIR "$PROGRAMFILES64\Vimbrel"
      ${Else}
        StrCpy $INSTDIR "$PROGRAMFILES\Vimbrel"
      ${EndIf}
    ${EndIf}
  ${Else}
    ReadRegStr $INSTDIR HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
      SetShellVarContext current
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Vimbrel"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ModePageShow
  !insertmacro MUI_HEADER_TEXT "Choose who uses Vimbrel" "Install it for yourself alone or for everyone on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 12u "&Just for me (no administrator rights needed)"
  Pop $ModeJustMe
  ${NSD_CreateLabel} 12u 14u -12u 24u "Into your own programs folder. Windows lists Vimbrel in the screen-saver settings while it is the current screen saver."
  Pop $0
  ${NSD_CreateRadioButton} 0 44u 100% 12u "&Everyone on this computer"
  Pop $ModeEveryone
  ${If} $IsAdmin == 1
    ${NSD_CreateLabel} 12u 58u -12u 24u "Into the system folder, where the screen-saver settings always list it."
  ${Else}
    ${NSD_CreateLabel} 12u 58u -12u 24u "Needs administrator rights: run the installer as administrator to choose this."
    EnableWindow $ModeEveryone 0
  ${EndIf}
  Pop $0
  ${If} $AllUsers == 1
    ${NSD_Check} $ModeEveryone
  ${Else}
    ${NSD_Check} $ModeJustMe
  ${EndIf}
  ${NSD_OnClick} $ModeJustMe ModeChanged
  ${NSD_OnClick} $ModeEveryone ModeChanged
  Push $ModeJustMe
  Call ModeChanged
  nsDialogs::Show
FunctionEnd

; For all users the next page installs (there is no folder to choose): the
; button says so.
Function ModeChanged
  Pop $0
  GetDlgItem $1 $HWNDPARENT 1
  ${NSD_GetState} $ModeEveryone $0
  ${If} $0 == ${BST_CHECKED}
    SendMessage $1 ${WM_SETTEXT} 0 "STR:$(^InstallBtn)"
  ${Else}
    SendMessage $1 ${WM_SETTEXT} 0 "STR:$(^NextBtn)"
  ${EndIf}
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeEveryone $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $1 1
  ${Else}
    StrCpy $1 0
  ${EndIf}
  ${If} $1 != $AllUsers
    StrCpy $AllUsers $1
    Call DefaultFolder
  ${EndIf}
FunctionEnd

; For all users the folder holds only the uninstaller: no page.
Function DirectoryPagePre
  ${If} $AllUsers == 1
    Abort
  ${EndIf}
FunctionEnd

Function FinishPageShow
  ${If} $SetCurrent != 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

; The path to write into SCRNSAVE.EXE: the long one, or the short form when
; it holds a space, since the system starts the saver from an unquoted
; command line.
Function SaverPathForRegistry
  Push $0
  StrCpy $0 $ScrPath
  ${WordFind} "$0" " " "E#" $1
  ${IfNot} ${Errors}
    GetFullPathName /SHORT $1 $0
    ${If} $1 == ""
      StrCpy $1 $0
    ${EndIf}
  ${Else}
    StrCpy $1 $0
  ${EndIf}
  Pop $0
FunctionEnd

; Writes this install's saver into SCRNSAVE.EXE and remembers the value
; written beside the file it names: the uninstaller compares SCRNSAVE.EXE
; with that value, since the short form of a file deleted since cannot be
; made long again.
Function WriteSaverValue
  Call SaverPathForRegistry
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
  WriteRegStr HKCU "${SETUP_KEY}" "ScreenSaverValue" $1
  WriteRegStr HKCU "${SETUP_KEY}" "ScreenSaverFile" $ScrPath
FunctionEnd

; Makes Vimbrel the current screen saver and switches the screen saver on,
; remembering (per user) the value replaced, unless that already named
; Vimbrel (an install over an install).
Function SetCurrentSaver
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    StrCpy $2 0 ; there was none
  ${Else}
    StrCpy $2 1
  ${EndIf}
  ${DisableX64FSRedirection}
  Push $0
  Call LongPath
  Pop $1
  ${EnableX64FSRedirection}
  ${GetFileName} $1 $1
  ; The value this installer wrote is Vimbrel too, even as a short form.
  ReadRegStr $3 HKCU "${SETUP_KEY}" "ScreenSaverValue"
  ${If} $3 != ""
  ${AndIf} $0 == $3
    StrCpy $1 "vimbrel.scr"
  ${EndIf}
  ${If} $1 != "vimbrel.scr"
  ${AndIf} $1 != "vimbrel64.scr"
    WriteRegDWORD HKCU "${SETUP_KEY}" "HadScreenSaver" $2
    WriteRegStr HKCU "${SETUP_KEY}" "PreviousScreenSaver" $0
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    WriteRegStr HKCU "${SETUP_KEY}" "PreviousScreenSaveActive" $0
  ${EndIf}
  Call WriteSaverValue
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
  ${If} $0 != "1"
    !insertmacro TellScreenSaveActive 1
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ${EndIf}
FunctionEnd

Function FinishSetCurrent
  Call SetCurrentSaver
FunctionEnd

Function FinishOpenSettings
  ; The display control panel's screen-saver tab: by name from Vista on,
  ; else by place (Windows XP put a Themes tab first).
  ${If} ${AtLeastWinVista}
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
  ${ElseIf} ${IsWin2000}
    Exec '"$SYSDIR\control.exe" desk.cpl,,1'
  ${Else}
    Exec '"$SYSDIR\control.exe" desk.cpl,,2'
  ${EndIf}
FunctionEnd

; Pushes the size of a file in bytes (0 when it cannot be read).
Function FileBytes
  Exch $0
  Push $1
  ClearErrors
  FileOpen $1 $0 r
  ${If} ${Errors}
    StrCpy $0 0
  ${Else}
    FileSeek $1 0 END $0
    FileClose $1
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Stops the install when a file was not written whole: removes what this
; install wrote (a file there before stays), tells why unless silent, and
; exits with 2 before any value is written.
!macro CheckWritten FILE BYTES
  ${If} ${Errors}
    StrCpy $R9 "${FILE}"
    Call InstallFailed
  ${EndIf}
  Push "${FILE}"
  Call FileBytes
  Pop $R8
  ${If} $R8 != ${BYTES}
    StrCpy $R9 "${FILE}"
    Call InstallFailed
  ${EndIf}
!macroend

Function InstallFailed
  ${DisableX64FSRedirection}
  ${If} $ScrExisted != 1
    Delete $ScrPath
  ${EndIf}
  ${EnableX64FSRedirection}
  ${If} $UninstExisted != 1
    Delete "$INSTDIR\uninstall.exe"
  ${EndIf}
  SetOutPath $TEMP ; a folder in use cannot be removed
  RMDir $INSTDIR
  MessageBox MB_OK|MB_ICONSTOP "Vimbrel could not write $R9.$\r$\n$\r$\nChoose a folder you can write to, or run the installer as administrator. Nothing was changed." /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; An install in another folder of this mode is replaced by this one: its
; files go (its entry is rewritten next), and SCRNSAVE.EXE naming its saver
; names this one.
Function RemoveOtherInstall
  ${If} $AllUsers == 1
    ReadRegStr $4 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $5 HKLM "${UNINSTALL_KEY}" "ScreenSaver"
  ${Else}
    ReadRegStr $4 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $5 HKCU "${UNINSTALL_KEY}" "ScreenSaver"
  ${EndIf}
  ${If} $4 == ""
  ${OrIf} $4 == $INSTDIR
    Return
  ${EndIf}
  ${If} $5 != ""
  ${AndIf} $5 != $ScrPath
    ReadRegStr $6 HKCU "${SETUP_KEY}" "ScreenSaverFile"
    ReadRegStr $7 HKCU "${SETUP_KEY}" "ScreenSaverValue"
    ReadRegStr $8 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $6 == $5
    ${AndIf} $8 == $7
      Call WriteSaverValue
    ${EndIf}
    ${DisableX64FSRedirection}
    Delete $5
    ${EnableX64FSRedirection}
  ${EndIf}
  Delete "$4\uninstall.exe"
  RMDir $4
FunctionEnd

Section "Vimbrel" SecVimbrel
  SectionIn RO
  ${If} $AllUsers == 1
    SetShellVarContext all
    ${DisableX64FSRedirection}
    StrCpy $ScrPath "$SYSDIR\$ScrName"
  ${Else}
    SetShellVarContext current
    StrCpy $ScrPath "$INSTDIR\$ScrName"
  ${EndIf}
  StrCpy $ScrExisted 0
  StrCpy $UninstExisted 0
  ${If} ${FileExists} $ScrPath
    StrCpy $ScrExisted 1
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    StrCpy $UninstExisted 1
  ${EndIf}
  ; Every write is checked: a folder that refuses it ends the install here.
  ClearErrors
  ${If} $AllUsers == 1
    SetOutPath $SYSDIR
  ${Else}
    SetOutPath $INSTDIR
  ${EndIf}
  ; "try": a file that cannot be written sets the error flag without
  ; NSIS's own Abort/Retry/Ignore box; the check below explains.
  SetOverwrite try
  ${If} $ScrName == "vimbrel64.scr"
    File "/oname=vimbrel64.scr" "${SCR64}"
    !insertmacro CheckWritten $ScrPath ${SCR64_BYTES}
  ${Else}
    File "/oname=vimbrel.scr" "${SCR32}"
    !insertmacro CheckWritten $ScrPath ${SCR32_BYTES}
  ${EndIf}
  Push $ScrPath
  Call FileBytes
  Pop $2
  ${EnableX64FSRedirection}

  ClearErrors
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    StrCpy $R9 "$INSTDIR\uninstall.exe"
    Call InstallFailed
  ${EndIf}
  Push "$INSTDIR\uninstall.exe"
  Call FileBytes
  Pop $3
  ${If} $3 == 0
    StrCpy $R9 "$INSTDIR\uninstall.exe"
    Call InstallFailed
  ${EndIf}
  IntOp $2 $2 + $3
  IntOp $2 $2 + 1023
  IntOp $2 $2 / 1024

  Call RemoveOtherInstall
  ${If} $AllUsers == 1
    StrCpy $0 HKLM
  ${Else}
    StrCpy $0 HKCU
  ${EndIf}
  ; The entry in the system's list of programs, in the mode's hive.
  !macro EntryValues ROOT
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayName" "${VIMBREL_PRODUCT}"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayVersion" "${VIMBREL_VERSION}"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "Publisher" "${VIMBREL_PUBLISHER}"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "ScreenSaver" "$ScrPath"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "EstimatedSize" $2
    WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoRepair" 1
  !macroend
  ${If} $AllUsers == 1
    !insertmacro EntryValues HKLM
  ${Else}
    !insertmacro EntryValues HKCU
  ${EndIf}

  ; A silent install has no finish page: the switch decides.
  ${If} ${Silent}
  ${AndIf} $SetCurrent == 1
    Call SetCurrentSaver
  ${EndIf}
SectionEnd

; The section holds both savers, and one is installed: the space it takes.
Function SetSectionSize
  ${If} $ScrName == "vimbrel64.scr"
    SectionSetSize ${SecVimbrel} ${SCR64_KB}
  ${Else}
    SectionSetSize ${SecVimbrel} ${SCR32_KB}
  ${EndIf}
FunctionEnd

; --- The uninstaller ------------------------------------------------------

Var UnAllUsers
Var UnScrPath
Var UnRemoveSettings

Function un.onInit
  !insertmacro NativeViews
  ; Which entry is ours: the one whose folder is this uninstaller's.
  StrCpy $UnAllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 == $INSTDIR
    StrCpy $UnAllUsers 1
    ReadRegStr $UnScrPath HKLM "${UNINSTALL_KEY}" "ScreenSaver"
  ${Else}
    ReadRegStr $UnScrPath HKCU "${UNINSTALL_KEY}" "ScreenSaver"
  ${EndIf}
  ${If} $UnScrPath == ""
    ; No entry (removed by hand): the file beside the uninstaller.
    ${If} ${RunningX64}
      StrCpy $UnScrPath "$INSTDIR\vimbrel64.scr"
    ${Else}
      StrCpy $UnScrPath "$INSTDIR\vimbrel.scr"
    ${EndIf}
  ${EndIf}
  UserInfo::GetAccountType
  Pop $0
  ${If} $UnAllUsers == 1
  ${AndIf} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Vimbrel was installed for all users: removing it needs administrator rights." /SD IDOK
    SetErrorLevel 5
    Quit
  ${EndIf}
  !insertmacro HasSwitch "/REMOVESETTINGS" $UnRemoveSettings
FunctionEnd

; Puts the previous screen saver back when SCRNSAVE.EXE still names the
; file being removed: the value Vimbrel replaced, or none.
Function un.RestoreScreenSaver
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    Return
  ${EndIf}
  ; The value this install wrote, in the form written (short or long), when
  ; it recorded one; else (an install before the record) the long forms,
  ; which a missing file does not have.
  ReadRegStr $1 HKCU "${SETUP_KEY}" "ScreenSaverFile"
  ReadRegStr $2 HKCU "${SETUP_KEY}" "ScreenSaverValue"
  ; (LogicLib compares strings without regard to case.)
  ${If} $1 != ""
  ${AndIf} $2 != ""
    ${If} $1 != $UnScrPath
    ${OrIf} $0 != $2
      Return
    ${EndIf}
  ${Else}
    ${DisableX64FSRedirection}
    Push $0
    Call un.LongPath
    Pop $0
    Push $UnScrPath
    Call un.LongPath
    Pop $1
    ${EnableX64FSRedirection}
    ${If} $0 != $1
      Return
    ${EndIf}
  ${EndIf}
  ClearErrors
  ReadRegDWORD $2 HKCU "${SETUP_KEY}" "HadScreenSaver"
  ${If} $2 == 1
    ReadRegStr $0 HKCU "${SETUP_KEY}" "PreviousScreenSaver"
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  ${Else}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${SETUP_KEY}" "PreviousScreenSaveActive"
  ${IfNot} ${Errors}
  ${AndIf} $0 != "1"
    ${If} $0 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $0
    ${EndIf}
    !insertmacro TellScreenSaveActive 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ${IfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your Vimbrel settings too?$\r$\n$\r$\nChoose No to keep them for a later install." /SD IDNO IDNO +2
    StrCpy $UnRemoveSettings 1
  ${EndIf}
  Call un.RestoreScreenSaver
  DeleteRegKey HKCU "${SETUP_KEY}"

  ${DisableX64FSRedirection}
  Delete $UnScrPath
  ${EnableX64FSRedirection}
  Delete "$INSTDIR\uninstall.exe"
  RMDir $INSTDIR

  ${If} $UnAllUsers == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}

  ${If} $UnRemoveSettings == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${Else}
    ; Left only when it holds nothing.
    DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${SETTINGS_KEY}"
  ${EndIf}
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Kelvarn\ScreenSavers"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Kelvarn"
SectionEnd
