; Setup's work in C:\Harvel, a folder that every user may write: files and
; folders are opened as themselves (never through a link) and checked through
; their handle, rules are set through that handle, a folder someone else made
; is moved aside rather than taken over, and only its plain plot files are
; copied back. Included by harvel.nsi, after its language strings.

; Where a C:\Harvel that someone else made was moved to; empty when none was.
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
