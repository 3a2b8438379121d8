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

; Where setup keeps C:\Harvel and the name its predecessor is moved to.
Var MovedAside

; Opens a file or folder as itself, never what a link there points to.
!define OPEN_AS_ITSELF 0x02200000 ; FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT
!define READ_CONTROL 0x20000
!define RULE_ACCESS 0xE0000 ; READ_CONTROL | WRITE_DAC | WRITE_OWNER

; Opens PATH as itself with ACCESS and checks through the handle that it is a
; plain folder (KIND 0x10) or a plain file with one name (KIND 0): no link, no
; junction, no hard link. Leaves the handle on the stack, or -1 when it is
; missing, cannot be opened or is anything else.
!macro OpenPlain PATH ACCESS KIND
  Push "${PATH}"
  Push "${ACCESS}"
  Push "${KIND}"
  Call OpenPlain
!macroend

Function OpenPlain
  Exch $R2 ; kind
  Exch
  Exch $R1 ; access
  Exch 2
  Exch $R0 ; path
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  StrCpy $R3 -1
  ; By name too: Wine shows a link to a folder as a reparse point only there.
  System::Call 'kernel32::GetFileAttributesW(w R0) i .R4'
  IntOp $R5 $R4 & 0x400 ; FILE_ATTRIBUTE_REPARSE_POINT
  ${If} $R4 <> -1
  ${AndIf} $R5 = 0
    System::Call 'kernel32::CreateFileW(w R0, i R1, i 7, p 0, i 3, i ${OPEN_AS_ITSELF}, p 0) p .R3'
  ${EndIf}
  ${If} $R3 <> -1
    ; BY_HANDLE_FILE_INFORMATION: attributes at 0, number of links at 40.
    System::Alloc 52
    Pop $R7
    System::Call 'kernel32::GetFileInformationByHandle(p R3, p R7) i .R6'
    System::Call '*$R7(i .R4, i, i, i, i, i, i, i, i, i, i .R5)'
    System::Free $R7
    IntOp $R4 $R4 & 0x410 ; FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY
    ${If} $R6 = 0
    ${OrIf} $R4 <> $R2
    ${OrIf} $R5 <> 1
      System::Call 'kernel32::CloseHandle(p R3)'
      StrCpy $R3 -1
    ${EndIf}
  ${EndIf}
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  ; Stack: R1, R2, R0, R3 of the caller; the handle takes their place.
  Exch $R3
  Exch
  Pop $R0
  Exch
  Pop $R2
  Exch
  Pop $R1
FunctionEnd

; Puts a security descriptor in SDDL (its owner and its protected DACL) on a
; file or folder through a handle of its own (see OpenPlain); sets the error
; flag when it is not plain or the system refuses.
!macro ApplyAccessRule PATH SDDL KIND
  Push "${SDDL}"
  Push "${PATH}"
  Push "${KIND}"
  Call ApplyAccessRule
!macroend

Function ApplyAccessRule
  Exch $6 ; kind
  Exch
  Exch $0 ; path
  Exch 2
  Exch $1 ; SDDL
  Push $2
  Push $3
  Push $4
  Push $5
  !insertmacro OpenPlain $0 ${RULE_ACCESS} $6
  Pop $6
  ${If} $6 = -1
    SetErrors
  ${Else}
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w r1, i 1, *p .r2, p 0) i .r5'
    ${If} $5 = 0
      SetErrors
    ${Else}
      System::Call 'advapi32::GetSecurityDescriptorOwner(p r2, *p .r3, *i .r5) i .r5'
      System::Call 'advapi32::GetSecurityDescriptorDacl(p r2, *i .r5, *p .r4, *i .r5) i .r5'
      ; OWNER_ | DACL_ | PROTECTED_DACL_SECURITY_INFORMATION on an SE_FILE_OBJECT
      System::Call 'advapi32::SetSecurityInfo(p r6, i 1, i 0x80000005, p r3, p 0, p r4, p 0) i .r5'
      ${If} $5 <> 0
        SetErrors
      ${EndIf}
      System::Call 'kernel32::LocalFree(p r2)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r6)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $6
  Pop $0
FunctionEnd

; A file under a program's name that is there already: a user may have put it
; there before setup and may still hold it open for writing. A link or a file
; with more than one name is refused ("link"), never followed. Else it takes
; the programs' rule first, so that no new handle can write it, and then nobody
; may have it open at all (nor run it), else "busy". Leaves "" when it may be
; written.
Function TakeOverProgramFile
  Exch $0 ; path
  Push $1
  Push $2
  StrCpy $2 ""
  System::Call 'kernel32::GetFileAttributesW(w r0) i .r1'
  ${If} $1 <> -1
    ClearErrors
    !insertmacro ApplyAccessRule "$0" "${HARVEL_PROGRAM_SDDL}" 0
    ${If} ${Errors}
      StrCpy $2 "link"
    ${Else}
      ; GENERIC_READ | GENERIC_WRITE, share mode 0, OPEN_EXISTING, as itself
      System::Call 'kernel32::CreateFileW(w r0, i 0xC0000000, i 0, p 0, i 3, i ${OPEN_AS_ITSELF}, p 0) p .r1'
      ${If} $1 = -1
        StrCpy $2 "busy"
      ${Else}
        System::Call 'kernel32::CloseHandle(p r1)'
      ${EndIf}
    ${EndIf}
  ${EndIf}
  StrCpy $0 $2
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether the folder behind HANDLE (opened with READ_CONTROL) belongs to the
; administrators, the system, TrustedInstaller or the administrator running
; setup: leaves 1 or 0. Nobody else can give a folder such an owner.
Function IsOwnedByAdministrators
  Exch $0 ; handle
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $5 0
  System::Call 'advapi32::GetSecurityInfo(p r0, i 1, i 1, *p .r1, p 0, p 0, p 0, *p .r2) i .r3'
  ${If} $3 = 0
    System::Call 'advapi32::ConvertSidToStringSidW(p r1, *p .r3) i .r4'
    ${If} $4 <> 0
      System::Call 'kernel32::lstrcpynW(w .r4, p r3, i ${NSIS_MAX_STRLEN}) p'
      System::Call 'kernel32::LocalFree(p r3)'
      ${If} $4 == "S-1-5-32-544"
      ${OrIf} $4 == "S-1-5-18"
      ${OrIf} $4 == "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
        StrCpy $5 1
      ${EndIf}
    ${EndIf}
    ${If} $5 = 0
      ; TOKEN_QUERY; TokenUser starts with the user's SID.
      System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r3) i .r4'
      ${If} $4 <> 0
        System::Alloc 256
        Pop $4
        System::Call 'advapi32::GetTokenInformation(p r3, i 1, p r4, i 256, *i 0) i .r0'
        ${If} $0 <> 0
          System::Call '*$4(p .r0)'
          System::Call 'advapi32::EqualSid(p r1, p r0) i .r0'
          ${If} $0 <> 0
            StrCpy $5 1
          ${EndIf}
        ${EndIf}
        System::Free $4
        System::Call 'kernel32::CloseHandle(p r3)'
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::LocalFree(p r2)'
  ${EndIf}
  StrCpy $0 $5
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Copies the file FROM into the new file TO (never over one that is there),
; through handles of their own; a link, a hard link or anything but a plain
; file is not copied. Sets the error flag when nothing was copied.
!macro CopyPlainFile FROM TO
  Push "${FROM}"
  Push "${TO}"
  Call CopyPlainFile
!macroend

Function CopyPlainFile
  Exch $1 ; to
  Exch
  Exch $0 ; from
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  !insertmacro OpenPlain $0 0x80000000 0 ; GENERIC_READ
  Pop $2
  ${If} $2 = -1
    SetErrors
  ${Else}
    ; GENERIC_WRITE, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT | FILE_ATTRIBUTE_NORMAL
    System::Call 'kernel32::CreateFileW(w r1, i 0x40000000, i 0, p 0, i 1, i 0x00200080, p 0) p .r3'
    ${If} $3 = -1
      SetErrors
    ${Else}
      System::Alloc 65536
      Pop $4
      ${Do}
        System::Call 'kernel32::ReadFile(p r2, p r4, i 65536, *i .r5, p 0) i .r6'
        ${If} $6 = 0
          SetErrors
          ${ExitDo}
        ${EndIf}
        ${IfThen} $5 = 0 ${|} ${ExitDo} ${|}
        System::Call 'kernel32::WriteFile(p r3, p r4, i r5, *i .r7, p 0) i .r6'
        ${If} $6 = 0
        ${OrIf} $7 <> $5
          SetErrors
          ${ExitDo}
        ${EndIf}
      ${Loop}
      System::Free $4
      System::Call 'kernel32::CloseHandle(p r3)'
      ${If} ${Errors}
        Delete "$1"
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd

; Makes the fresh C:\Harvel with the programs' rule from its first moment:
; nobody but administrators can put anything in it while setup writes.
Function CreateLockedFolder
  Push $0
  Push $1
  Push $2
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${HARVEL_PROGRAM_SDDL}", i 1, *p .r0, p 0) i .r1'
  ${If} $1 = 0
    SetErrors
  ${Else}
    ; SECURITY_ATTRIBUTES: length, (padding), descriptor, inherit handle
    System::Call '*(i 24, i 0, p r0, i 0, i 0) p .r2'
    System::Call 'kernel32::CreateDirectoryW(w "${HARVEL_FOLDER}", p r2) i .r1'
    ${If} $1 = 0
      SetErrors
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::LocalFree(p r0)'
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; A C:\Harvel that is there is kept only when administrators made it (an
; earlier install); one that someone else made moves aside under the first
; free name C:\Harvel.moved-N, and a fresh one takes its place. A link or a
; file there is refused.
Function PrepareFolder
  Push $0
  Push $1
  Push $2
  StrCpy $MovedAside ""
  System::Call 'kernel32::GetFileAttributesW(w "${HARVEL_FOLDER}") i .r0'
  ${If} $0 <> -1
    !insertmacro OpenPlain "${HARVEL_FOLDER}" ${READ_CONTROL} 0x10
    Pop $0
    ${If} $0 = -1
      MessageBox MB_OK|MB_ICONSTOP "$(NotPlainFolder)" /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
    Push $0
    Call IsOwnedByAdministrators
    Pop $1
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} $1 = 1
      Goto done
    ${EndIf}
    StrCpy $2 1
    ${Do}
      System::Call 'kernel32::MoveFileW(w "${HARVEL_FOLDER}", w "${HARVEL_FOLDER}.moved-$2") i .r0 ?e'
      Pop $1
      ${If} $0 <> 0
        StrCpy $MovedAside "${HARVEL_FOLDER}.moved-$2"
        ${ExitDo}
      ${EndIf}
      ; ERROR_FILE_EXISTS, ERROR_ALREADY_EXISTS: try the next name
      ${If} $1 <> 80
      ${AndIf} $1 <> 183
      ${OrIf} $2 >= 100
        MessageBox MB_OK|MB_ICONSTOP "$(NotMovedAside)" /SD IDOK
        SetErrorLevel 2
        Abort
      ${EndIf}
      IntOp $2 $2 + 1
    ${Loop}
  ${EndIf}
  ClearErrors
  Call CreateLockedFolder
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(NotPlainFolder)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
done:
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; The plot files of the folder that was moved aside, each as a new file.
Function CopyPlotFilesBack
  Push $0
  Push $1
  Push $2
  FindFirst $0 $1 "$MovedAside\*"
  ${DoWhile} $1 != ""
    StrCpy $2 $1 "" -4
    ${If} $2 == ".plt"
    ${OrIf} $2 == ".th0"
      ClearErrors
      !insertmacro CopyPlainFile "$MovedAside\$1" "$INSTDIR\$1"
      ${If} ${Errors}
        DetailPrint "$(NotCopied)$MovedAside\$1"
      ${EndIf}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

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
