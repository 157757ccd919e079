; Per-user setup of Quorvander Utility. Built by installer/CMakeLists.txt:
;   makensis -DVERSION=<x.y.z> -DPROGRAM_EXE=<KELVARON.EXE> -DEULA=<EULA.TXT> -DOUTFILE=<setup.exe>
;            [-DLICENSE_TEXT=<EULA.TXT for the licence page>] [-DICON=<program icon .ico>]
;            quorvander.nsi
;
; No administrator rights: the program keeps its lists in "Distribution Lists" inside its own
; folder, so that folder must belong to the user. It goes to the user's own programs folder
; (%LOCALAPPDATA%\Programs) and is registered under HKCU only.

!ifndef VERSION | PROGRAM_EXE | EULA | OUTFILE
  !error "define VERSION, PROGRAM_EXE, EULA and OUTFILE with -D"
!endif
!ifndef LICENSE_TEXT
  !define LICENSE_TEXT "${EULA}"
!endif

; KELVARON.EXE is a 64-bit program, so a 64-bit setup runs wherever the program does, and in a
; 64-bit-only Wine (Debian's wine64) too, where NSIS's default 32-bit setup would not.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "Quorvander Utility"
!define PUBLISHER "Ondrevo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define LISTS "Distribution Lists"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; A new version goes where the last one is, with the user's lists.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_TEXT}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\KELVARON.EXE"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "${PRODUCT}"
  SectionIn RO
  ; A file that cannot be written (the program is running) stops the setup with Retry or Cancel;
  ; it is never skipped, which would leave the old program under the new version's name.
  AllowSkipFiles off
  ; The shortcuts take $OUTDIR as their working folder: the program folder, as the program's own
  ; Send To shortcut has it.
  SetOutPath "$INSTDIR"
  File "/oname=KELVARON.EXE" "${PROGRAM_EXE}"
  File "/oname=EULA.TXT" "${EULA}"
  ; The lists folder is the program's to make (at its start); an existing one is left as it is.
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\KELVARON.EXE"
  ; The program makes this one too at its start, but Send To should work before the first start.
  CreateShortCut "$SENDTO\Quorvander.lnk" "$INSTDIR\KELVARON.EXE"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\KELVARON.EXE"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The files of the folder itself (KB), not the user's lists below it.
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; A running program cannot be removed: stop before anything is gone rather than leave a
  ; half-removed program that Windows no longer lists.
  retry:
  ClearErrors
  Delete "$INSTDIR\KELVARON.EXE"
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "$INSTDIR\KELVARON.EXE cannot be removed. Close ${PRODUCT}, then choose Retry." \
      /SD IDCANCEL IDRETRY retry
    Abort
  ${EndIf}
  Delete "$INSTDIR\EULA.TXT"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SENDTO\Quorvander.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The lists are the user's work: an empty lists folder goes, a full one only when the user says
  ; so (a silent uninstall keeps it).
  RMDir "$INSTDIR\${LISTS}"
  ${If} ${FileExists} "$INSTDIR\${LISTS}\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Do you also want to delete your distribution lists?$\r$\n$\r$\n$INSTDIR\${LISTS}$\r$\n$\r$\nChoose No to keep them." \
      /SD IDNO IDNO keep_lists
    RMDir /r "$INSTDIR\${LISTS}"
    keep_lists:
  ${EndIf}

  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: whatever else the user put there stays.
  RMDir "$INSTDIR"
SectionEnd
