; The Windows installer of Vantor. The build runs makensis with:
;   VERSION  the project's version (1.2.3)    STAGE  the folder of the files to install
;   OUTFILE  the installer to write           ICON   the program's icon
;   LICENSE_FILE  the licence, when the tree has one
;
; Command line of the installer:    /S silent, /D=<folder> where to install,
;                                   /AUTOSTART also start Vantor when Windows starts
; Command line of the uninstaller:  /S silent (keeps the learned events),
;                                   /REMOVEEVENTS remove them without asking

Unicode true
; The program is 64-bit: install it as a 64-bit process, so Program Files and the
; registry are the native ones.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Vantor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantor"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where the program keeps its settings and learned events: under HKCC, and under
; HKCU where a standard user could not write HKCC.
!define SETTINGS_KEY "Infrared\Software\Vantora"
!define USER_SETTINGS_KEY "Software\Infrared\Vantora"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${YEAR} The Vantor developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "Welcome to the ${PRODUCT} ${VERSION} Setup"
!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} turns a household infrared remote control into a mouse and keyboard. \
It reads an IR55 receiver or an IrDA-SIR transceiver on COM1 to COM4.$\r$\n$\r$\n\
Setup installs ${PRODUCT} into Program Files, adds it to the Start menu and, if you wish, \
starts it when Windows starts.$\r$\n$\r$\n$_CLICK"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vantora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"

!insertmacro MUI_PAGE_WELCOME
!ifdef LICENSE_FILE
  !insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!endif
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; A running Vantor holds its files: its main window (title "Vantor") is closed the
; way its close box does it, which saves its port settings.
!macro CloseRunningVantor un
  Function ${un}CloseRunningVantor
    FindWindow $0 "" "${PRODUCT}"
    StrCmp $0 0 done
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT} is running and will be closed." /SD IDOK IDOK close
    Abort
  close:
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCpy $1 0
  wait:
    Sleep 200
    FindWindow $0 "" "${PRODUCT}"
    StrCmp $0 0 done
    IntOp $1 $1 + 1
    IntCmp $1 50 0 wait
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} could not be closed. Exit it and run this again." /SD IDOK
    Abort
  done:
  FunctionEnd
!macroend
!insertmacro CloseRunningVantor ""
!insertmacro CloseRunningVantor "un."

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\Vantora.exe"
  File "${STAGE}\kestrel.dll"
  File "${STAGE}\pellow.dll"
  File "${STAGE}\README.txt"
  SetOutPath "$INSTDIR\manual"
  File "${STAGE}\manual\*.*"
  SetOutPath "$INSTDIR"
!ifdef LICENSE_FILE
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
!endif
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; An upgrade without the autostart component must not leave the old entry:
  ; the autostart section, which runs after this one, writes it again if chosen.
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Vantora.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} manual.lnk" "$INSTDIR\manual\index.html"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Vantor developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantora.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start ${PRODUCT} when Windows starts" SecAutostart
  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Vantora.exe"'
SectionEnd

Function .onInit
  SetRegView 64
  Call CloseRunningVantor
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  IfErrors 0 autostart
  ; Clicked through, an upgrade offers the choice the last install made; silent,
  ; only /AUTOSTART keeps Vantor starting with Windows.
  IfSilent done
  ReadRegStr $R1 HKLM "${RUN_KEY}" "${PRODUCT}"
  StrCmp $R1 "" done
autostart:
  SectionSetFlags ${SecAutostart} ${SF_SELECTED}
done:
FunctionEnd

Var RemoveEvents

Function un.onInit
  SetRegView 64
  Call un.CloseRunningVantor
  StrCpy $RemoveEvents 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVEEVENTS" $R1
  IfErrors +2
  StrCpy $RemoveEvents 1
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\Vantora.exe"
  Delete "$INSTDIR\kestrel.dll"
  Delete "$INSTDIR\pellow.dll"
  Delete "$INSTDIR\README.txt"
  ; The manual's folder holds only what the installer put there.
  RMDir /r "$INSTDIR\manual"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} manual.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; The learned events are the user's work: kept unless the user says otherwise
  ; (a silent uninstall keeps them unless /REMOVEEVENTS is given).
  StrCmp $RemoveEvents 1 remove
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Also remove the remote-control buttons ${PRODUCT} has learned and its port settings?" \
    /SD IDNO IDYES remove
  Goto kept
remove:
  DeleteRegKey HKCC "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCC "Infrared\Software"
  DeleteRegKey /ifempty HKCC "Infrared"
  DeleteRegKey HKCU "${USER_SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Infrared"
kept:
SectionEnd
