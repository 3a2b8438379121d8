; The Windows setup program for Plimsby and Drovane.
;
; Both programs must live in C:\Harvel: the exporting application writes
; C:\Harvel\Quelmar.plt there and Plimsby starts Drovane.exe in that folder.
; Everything else in the folder (plot files) belongs to the user: setup only
; ever writes and removes the files it lists here.
;
; makensis -DHARVEL_VERSION=1.2.3 -DHARVEL_BIN_DIR=<folder with both .exe>
;          -DHARVEL_ICON=<.ico> -DHARVEL_OUTFILE=<setup.exe>
;          -DHARVEL_LICENSE=<LICENSE> harvel.nsi

!ifndef HARVEL_VERSION | HARVEL_BIN_DIR | HARVEL_ICON | HARVEL_OUTFILE | HARVEL_LICENSE
  !error "HARVEL_VERSION, HARVEL_BIN_DIR, HARVEL_ICON, HARVEL_OUTFILE and HARVEL_LICENSE must be defined"
!endif

!define HARVEL_FOLDER "C:\Harvel"
!define HARVEL_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Harvel"
!define HARVEL_PUBLISHER "Harvel"

; The programs are 64-bit, so is setup: no file or registry redirection.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

Name "Harvel (Plimsby, Drovane) ${HARVEL_VERSION}"
OutFile "${HARVEL_OUTFILE}"
InstallDir "${HARVEL_FOLDER}"
ShowInstDetails show
ShowUninstDetails show

; Setup's own version record: VIProductVersion wants four numbers.
!searchparse /noerrors "${HARVEL_VERSION}.0.0.0" "" VI_MAJOR "." VI_MINOR "." VI_PATCH "." VI_TWEAK "."
VIProductVersion "${VI_MAJOR}.${VI_MINOR}.${VI_PATCH}.${VI_TWEAK}"
VIFileVersion "${VI_MAJOR}.${VI_MINOR}.${VI_PATCH}.${VI_TWEAK}"
VIAddVersionKey /LANG=0 "ProductName" "Harvel"
VIAddVersionKey /LANG=0 "FileDescription" "Harvel setup: Plimsby and Drovane"
VIAddVersionKey /LANG=0 "CompanyName" "${HARVEL_PUBLISHER}"
VIAddVersionKey /LANG=0 "FileVersion" "${HARVEL_VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${HARVEL_VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${HARVEL_PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${HARVEL_ICON}"
!define MUI_UNICON "${HARVEL_ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${HARVEL_LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the fallback; Chinese systems get Chinese pages.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString NeedAdmin ${LANG_ENGLISH} "Setup must be run by an administrator: it writes to ${HARVEL_FOLDER}."
LangString NeedAdmin ${LANG_SIMPCHINESE} "安装程序需要管理员权限：它要写入 ${HARVEL_FOLDER}。"
LangString FileBusy ${LANG_ENGLISH} "A program in ${HARVEL_FOLDER} could not be replaced. Close Plimsby and Drovane and run setup again."
LangString FileBusy ${LANG_SIMPCHINESE} "无法替换 ${HARVEL_FOLDER} 中的程序。请关闭 Plimsby 和 Drovane 后重新运行安装程序。"
LangString FileBusyRemove ${LANG_ENGLISH} "A program in ${HARVEL_FOLDER} could not be removed. Close Plimsby and Drovane and uninstall again."
LangString FileBusyRemove ${LANG_SIMPCHINESE} "无法删除 ${HARVEL_FOLDER} 中的程序。请关闭 Plimsby 和 Drovane 后重新卸载。"

!macro RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedAdmin)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireAdmin
  ; The programs find each other only in this folder: /D= cannot move them.
  StrCpy $INSTDIR "${HARVEL_FOLDER}"
  SetShellVarContext all
FunctionEnd

Function un.onInit
  !insertmacro RequireAdmin
  SetShellVarContext all
FunctionEnd

Section "Harvel" SecHarvel
  SetOutPath "$INSTDIR"
  ; An upgrade overwrites in place. A running program cannot be replaced; a
  ; silent setup would otherwise pass over that and report success.
  SetOverwrite on
  ClearErrors
  File "${HARVEL_BIN_DIR}\Plimsby.exe"
  File "${HARVEL_BIN_DIR}\Drovane.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(FileBusy)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Harvel"
  CreateShortCut "$SMPROGRAMS\Harvel\Plimsby.lnk" "$INSTDIR\Plimsby.exe" "" "$INSTDIR\Plimsby.exe" 0
  CreateShortCut "$SMPROGRAMS\Harvel\Drovane.lnk" "$INSTDIR\Drovane.exe" "" "$INSTDIR\Drovane.exe" 0

  WriteRegStr HKLM "${HARVEL_UNINSTALL_KEY}" "DisplayName" "Harvel (Plimsby, Drovane)"
  WriteRegStr HKLM "${HARVEL_UNINSTALL_KEY}" "DisplayVersion" "${HARVEL_VERSION}"
  WriteRegStr HKLM "${HARVEL_UNINSTALL_KEY}" "Publisher" "${HARVEL_PUBLISHER}"
  WriteRegStr HKLM "${HARVEL_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Plimsby.exe,0"
  WriteRegStr HKLM "${HARVEL_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${HARVEL_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${HARVEL_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${HARVEL_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${HARVEL_UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB: the programs, never the user's plot files beside them.
  SectionGetSize ${SecHarvel} $0
  WriteRegDWORD HKLM "${HARVEL_UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes exactly what setup wrote. The user's settings (Drovane's key under
; HKCU) and plot files stay; the folder goes only when nothing else is left.
Section "Uninstall"
  ; A running program stays: then keep the entry so that removal can be repeated.
  ClearErrors
  Delete "$INSTDIR\Plimsby.exe"
  Delete "$INSTDIR\Drovane.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(FileBusyRemove)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  Delete "$SMPROGRAMS\Harvel\Plimsby.lnk"
  Delete "$SMPROGRAMS\Harvel\Drovane.lnk"
  RMDir "$SMPROGRAMS\Harvel"
  DeleteRegKey HKLM "${HARVEL_UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
