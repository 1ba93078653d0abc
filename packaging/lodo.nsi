; Per-user installer of lodo together with a helpdesk's VNC server and
; settings. scripts/package.sh --client defines VERSION, VERSION4, OUTFILE,
; ICON, BRAND (the helpdesk's names: PUBLISHER, TITLE and SHORTCUT, each
; optional), and FILES/UNFILES: generated lists of the files to install and
; remove; with --sign also SIGN, a command that signs the file it is given in
; place.
; A 64-bit installer for a 64-bit program (it also runs where only 64-bit
; programs can).
Target amd64-unicode
!include LogicLib.nsh
SetCompressor /SOLID lzma
!ifdef SIGN
  ; The uninstaller is made here and stored in the installer, which writes it
  ; out unchanged at install time: signed here, the installed one is signed.
  !uninstfinalize '"${SIGN}" "%1" "lodo uninstaller"' = 0
!endif
; Installed into the user's own programs folder: no elevation, and the
; settings file stays writable for the launcher.
RequestExecutionLevel user
ManifestDPIAware true

!include "${BRAND}"
!ifndef PUBLISHER
  !define PUBLISHER "Orvane d.o.o."
!endif
!ifndef TITLE
  !define TITLE "lodo"
!endif
!ifndef SHORTCUT
  !define SHORTCUT "lodo"
!endif

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo"

Name "lodo"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\lodo"
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "lodo"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "lodo installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; A reinstall brings the helpdesk's new presets but keeps what the user's
; last run remembered: the window-state keys are carried over.
!macro KeepFormaKey KEY VAR
  ClearErrors
  ReadINIStr ${VAR} "$INSTDIR\lodo.ini" "Forma" "${KEY}"
  ${IfNot} ${Errors}
    StrCpy ${VAR} "keep:${VAR}"
  ${EndIf}
!macroend
!macro RestoreFormaKey KEY VAR
  ${If} ${VAR} != ""
    StrCpy ${VAR} ${VAR} "" 5
    WriteINIStr "$INSTDIR\lodo.ini" "Forma" "${KEY}" ${VAR}
  ${EndIf}
!macroend

Section "lodo"
  SetShellVarContext current
  StrCpy $1 ""
  StrCpy $2 ""
  StrCpy $3 ""
  ${If} ${FileExists} "$INSTDIR\lodo.ini"
    !insertmacro KeepFormaKey "Rucni_unos" $1
    !insertmacro KeepFormaKey "Rucni_unos_adresa" $2
    !insertmacro KeepFormaKey "Zadnje_spajanje" $3
  ${EndIf}

  !include "${FILES}"

  !insertmacro RestoreFormaKey "Rucni_unos" $1
  !insertmacro RestoreFormaKey "Rucni_unos_adresa" $2
  !insertmacro RestoreFormaKey "Zadnje_spajanje" $3

  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}.lnk" "$INSTDIR\lodo.exe" "" "" "" SW_SHOWNORMAL "" "${TITLE}"
  CreateShortcut "$DESKTOP\${SHORTCUT}.lnk" "$INSTDIR\lodo.exe" "" "" "" SW_SHOWNORMAL "" "${TITLE}"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\lodo.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$DESKTOP\${SHORTCUT}.lnk"
  Delete "$SMPROGRAMS\${SHORTCUT}.lnk"
  ; Only what the installer put there: the folder goes when nothing else
  ; is left in it, so a folder chosen with /D= never loses foreign files.
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
