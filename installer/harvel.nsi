; The Windows setup program for Plimsby and Drovane.
;
; Both programs must live in C:\Harvel: the exporting application writes
; C:\Harvel\Quelmar.plt there and Plimsby starts Drovane.exe in that folder.
; Everything else in the folder (plot files) belongs to the user: setup only
; ever writes and removes the files it lists here.
;
; The folder stays writable for plot files, but only administrators may change
; the programs: setup gives the folder and each program the access rule of
; access_rule.nsh (made from installer/access_rule.cmake). A folder that
; someone else made is never taken over (they may hold handles to it that keep
; their rights): it is moved aside, and only its plot files are copied into a
; fresh folder. Every rule is set through a handle of the file or folder
; itself, opened without following a link; a link, a junction or a file with
; more than one name under a program's name is refused.
;
; makensis -DHARVEL_VERSION=1.2.3 -DHARVEL_BIN_DIR=<folder with both .exe>
;          -DHARVEL_ICON=<.ico> -DHARVEL_OUTFILE=<setup.exe>
;          -DHARVEL_LICENSE=<LICENSE> -DHARVEL_ACCESS_RULE=<access_rule.nsh> harvel.nsi

!ifndef HARVEL_VERSION | HARVEL_BIN_DIR | HARVEL_ICON | HARVEL_OUTFILE | HARVEL_LICENSE | HARVEL_ACCESS_RULE
  !error "HARVEL_VERSION, HARVEL_BIN_DIR, HARVEL_ICON, HARVEL_OUTFILE, HARVEL_LICENSE and HARVEL_ACCESS_RULE must be defined"
!endif
!include "${HARVEL_ACCESS_RULE}"

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
LangString NotPlainFolder ${LANG_ENGLISH} "${HARVEL_FOLDER} is not a plain folder (a link elsewhere, or a file). Remove it and run setup again."
LangString NotPlainFolder ${LANG_SIMPCHINESE} "${HARVEL_FOLDER} 不是普通文件夹（指向别处的链接或文件）。请删除它后重新运行安装程序。"
LangString RuleRefused ${LANG_ENGLISH} "The access rule of ${HARVEL_FOLDER} could not be set; the programs there are not protected."
LangString RuleRefused ${LANG_SIMPCHINESE} "无法设置 ${HARVEL_FOLDER} 的访问权限；其中的程序未受保护。"
LangString FileBusyRemove ${LANG_SIMPCHINESE} "无法删除 ${HARVEL_FOLDER} 中的程序。请关闭 Plimsby 和 Drovane 后重新卸载。"
LangString NotPlainProgram ${LANG_ENGLISH} "A program's name in ${HARVEL_FOLDER} is taken by a link or by a file with more than one name; setup changed nothing it points to. Remove it and run setup again."
LangString NotPlainProgram ${LANG_SIMPCHINESE} "${HARVEL_FOLDER} 中某个程序的名称被链接或多名文件占用；安装程序未改动其指向的任何内容。请删除它后重新运行安装程序。"
LangString MovedAside ${LANG_ENGLISH} "${HARVEL_FOLDER} was made by another user and is not taken over: it was moved to $MovedAside, and its plot files were copied into a new ${HARVEL_FOLDER}."
LangString MovedAside ${LANG_SIMPCHINESE} "${HARVEL_FOLDER} 由其他用户创建，安装程序不接管它：它已被移到 $MovedAside，其中的绘图文件已复制到新的 ${HARVEL_FOLDER}。"
LangString NotMovedAside ${LANG_ENGLISH} "${HARVEL_FOLDER} was made by another user and could not be moved aside (it may be in use). Remove it and run setup again."
LangString NotMovedAside ${LANG_SIMPCHINESE} "${HARVEL_FOLDER} 由其他用户创建，且无法移开（可能正在使用）。请删除它后重新运行安装程序。"
LangString NotCopied ${LANG_ENGLISH} "Not copied (not a plain file, or not readable): "
LangString NotCopied ${LANG_SIMPCHINESE} "未复制（不是普通文件或无法读取）："

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

!include "${__FILEDIR__}\folder_guard.nsh"

; Writes a program over the one of the previous release, if that can be taken
; over; setup stops at the first that cannot.
!macro ReplaceProgram NAME
  Push "$INSTDIR\${NAME}"
  Call TakeOverProgramFile
  Pop $0
  ${If} $0 == ""
    ClearErrors
    File "${HARVEL_BIN_DIR}\${NAME}"
    ${If} ${Errors}
      StrCpy $0 "busy"
    ${EndIf}
  ${EndIf}
  !insertmacro StopUnlessTakenOver $0
!macroend

; A program in the folder cannot be replaced: the folder opens for plot files
; again and setup ends as failed.
!macro StopUnlessTakenOver WHY
  ${If} ${WHY} == "link"
    !insertmacro OpenFolderForPlotFiles
    MessageBox MB_OK|MB_ICONSTOP "$(NotPlainProgram)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${ElseIf} ${WHY} != ""
    !insertmacro OpenFolderForPlotFiles
    MessageBox MB_OK|MB_ICONSTOP "$(FileBusy)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

; The folder's own rule; setup ends as failed when the system refuses it.
!macro OpenFolderForPlotFiles
  ClearErrors
  !insertmacro ApplyAccessRule "$INSTDIR" "${HARVEL_FOLDER_SDDL}" 0x10
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(RuleRefused)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

Section "Harvel" SecHarvel
  ; Keeps a folder of an earlier install, moves one that someone else made
  ; aside and makes a fresh one; refuses a link.
  Call PrepareFolder
  SetOutPath "$INSTDIR"
  ; While the programs are written the folder has the programs' rule: no user
  ; can create a file in it, and a new program inherits no user's write access.
  ClearErrors
  !insertmacro ApplyAccessRule "$INSTDIR" "${HARVEL_PROGRAM_SDDL}" 0x10
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(RuleRefused)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  ${If} $MovedAside != ""
    DetailPrint "$(MovedAside)"
    Call CopyPlotFilesBack
  ${EndIf}
  ; An upgrade overwrites the programs in place, one by one, and stops at the
  ; first that cannot be replaced (a running one); a silent setup would
  ; otherwise pass over that and report success.
  SetOverwrite on
  !insertmacro ReplaceProgram "Plimsby.exe"
  !insertmacro ReplaceProgram "Drovane.exe"
  Push "$INSTDIR\Uninstall.exe"
  Call TakeOverProgramFile
  Pop $0
  !insertmacro StopUnlessTakenOver $0
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ClearErrors
  !insertmacro ApplyAccessRule "$INSTDIR\Plimsby.exe" "${HARVEL_PROGRAM_SDDL}" 0
  !insertmacro ApplyAccessRule "$INSTDIR\Drovane.exe" "${HARVEL_PROGRAM_SDDL}" 0
  !insertmacro ApplyAccessRule "$INSTDIR\Uninstall.exe" "${HARVEL_PROGRAM_SDDL}" 0
  ${If} ${Errors}
    !insertmacro OpenFolderForPlotFiles
    MessageBox MB_OK|MB_ICONSTOP "$(RuleRefused)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  !insertmacro OpenFolderForPlotFiles

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
; HKCU) and plot files stay; the folder goes only when nothing else is left,
; and while it stays it keeps its rule.
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
