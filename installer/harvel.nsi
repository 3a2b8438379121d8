; The Windows setup program for Plimsby and Drovane.
;
; Both programs must live in C:\Harvel: the exporting application writes
; C:\Harvel\Quelmar.plt there and Plimsby starts Drovane.exe in that folder.
; Everything else in the folder (plot files) belongs to the user: setup only
; ever writes and removes the files it lists here.
;
; The folder stays writable for plot files, but only administrators may change
; the programs: setup gives the folder and each program the access rule of
; access_rule.nsh (made from installer/access_rule.cmake).
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

; Puts a security descriptor in SDDL (its owner and its protected DACL) on a
; file or folder; sets the error flag when the system refuses.
!macro ApplyAccessRule PATH SDDL
  Push "${SDDL}"
  Push "${PATH}"
  Call ApplyAccessRule
!macroend

Function ApplyAccessRule
  Exch $0 ; path
  Exch
  Exch $1 ; SDDL
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w r1, i 1, *p .r2, p 0) i .r5'
  ${If} $5 = 0
    SetErrors
  ${Else}
    System::Call 'advapi32::GetSecurityDescriptorOwner(p r2, *p .r3, *i .r5) i .r5'
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r2, *i .r5, *p .r4, *i .r5) i .r5'
    ; OWNER_ | DACL_ | PROTECTED_DACL_SECURITY_INFORMATION on an SE_FILE_OBJECT
    System::Call 'advapi32::SetNamedSecurityInfoW(w r0, i 1, i 0x80000005, p r3, p 0, p r4, p 0) i .r5'
    ${If} $5 <> 0
      SetErrors
    ${EndIf}
    System::Call 'kernel32::LocalFree(p r2)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; A file under a program's name that is there already: a user may have put it
; there before setup and may still hold it open for writing. It takes the
; programs' rule first, so that no new handle can write it, and then nobody may
; have it open at all (nor run it); else the error flag is set.
Function TakeOverProgramFile
  Exch $0 ; path
  Push $1
  ${If} ${FileExists} "$0"
    !insertmacro ApplyAccessRule "$0" "${HARVEL_PROGRAM_SDDL}"
    ; GENERIC_READ | GENERIC_WRITE, share mode 0, OPEN_EXISTING
    System::Call 'kernel32::CreateFileW(w r0, i 0xC0000000, i 0, p 0, i 3, i 0x80, p 0) p .r1'
    ${If} $1 = -1
      SetErrors
    ${Else}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Writes a program over the one of the previous release, if that can be taken
; over; setup stops at the first that cannot.
!macro ReplaceProgram NAME
  ClearErrors
  Push "$INSTDIR\${NAME}"
  Call TakeOverProgramFile
  ${IfNot} ${Errors}
    File "${HARVEL_BIN_DIR}\${NAME}"
    ${If} ${Errors}
      !insertmacro StopAsBusy
    ${EndIf}
  ${Else}
    !insertmacro StopAsBusy
  ${EndIf}
!macroend

; A program in the folder cannot be replaced: the folder opens for plot files
; again and setup ends as failed.
!macro StopAsBusy
  !insertmacro OpenFolderForPlotFiles
  MessageBox MB_OK|MB_ICONSTOP "$(FileBusy)" /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

; The folder's own rule; setup ends as failed when the system refuses it.
!macro OpenFolderForPlotFiles
  ClearErrors
  !insertmacro ApplyAccessRule "$INSTDIR" "${HARVEL_FOLDER_SDDL}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(RuleRefused)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

Section "Harvel" SecHarvel
  ; A link planted in its place would make setup write, and set rules,
  ; wherever it leads.
  System::Call 'kernel32::GetFileAttributesW(w "$INSTDIR") i .r0'
  ${If} $0 <> -1
    IntOp $1 $0 & 0x410 ; FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY
    ${If} $1 <> 0x10
      MessageBox MB_OK|MB_ICONSTOP "$(NotPlainFolder)" /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${EndIf}
  SetOutPath "$INSTDIR"
  ; While the programs are written the folder takes the programs' rule: no user
  ; can create a file in it, and a new program inherits no user's write access.
  ; A folder that existed before, whoever made it, is taken over the same way.
  ClearErrors
  !insertmacro ApplyAccessRule "$INSTDIR" "${HARVEL_PROGRAM_SDDL}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(RuleRefused)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  ; An upgrade overwrites the programs in place, one by one, and stops at the
  ; first that cannot be replaced (a running one); a silent setup would
  ; otherwise pass over that and report success.
  SetOverwrite on
  !insertmacro ReplaceProgram "Plimsby.exe"
  !insertmacro ReplaceProgram "Drovane.exe"
  ClearErrors
  Push "$INSTDIR\Uninstall.exe"
  Call TakeOverProgramFile
  ${If} ${Errors}
    !insertmacro StopAsBusy
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ClearErrors
  !insertmacro ApplyAccessRule "$INSTDIR\Plimsby.exe" "${HARVEL_PROGRAM_SDDL}"
  !insertmacro ApplyAccessRule "$INSTDIR\Drovane.exe" "${HARVEL_PROGRAM_SDDL}"
  !insertmacro ApplyAccessRule "$INSTDIR\Uninstall.exe" "${HARVEL_PROGRAM_SDDL}"
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
