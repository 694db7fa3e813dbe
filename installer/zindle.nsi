; Zindle's installer for Windows, built by scripts/windows-installer.sh:
;   makensis -DVERSION=1.0 -DVERSION_FOUR=1.0.0.0 -DSTAGE=<folder> -DICON=<.ico> -DOUTFILE=<setup.exe> zindle.nsi
; STAGE holds zindle.exe, wumbly.jpg and LICENSE.
;
; It installs for the user who runs it, into their own programs folder, so it
; asks for no administrator's rights: a parent can install the toy on the
; child's account as it is. /S installs and uninstalls without a window, and
; /D=<folder> (last on the command line) installs elsewhere.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Zindle"
!define PUBLISHER "The Zindle developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zindle"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zindle"
; Installing again goes where the toy already is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_FOUR}"
VIFileVersion "${VERSION_FOUR}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT License."

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\zindle.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Section "Zindle"
  SetShellVarContext current
  ; The shortcut takes the current output folder as its working folder: the
  ; toy reads its splash picture from there.
  SetOutPath "$INSTDIR"
  File "${STAGE}\zindle.exe"
  File "${STAGE}\wumbly.jpg"
  File "${STAGE}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Zindle.lnk" "$INSTDIR\zindle.exe" "" "$INSTDIR\zindle.exe" 0 \
    SW_SHOWNORMAL "" "A keyboard toy for small children"
  ; The same toy without any sound, for a quiet room.
  CreateShortcut "$SMPROGRAMS\Zindle (silent).lnk" "$INSTDIR\zindle.exe" "--mute" "$INSTDIR\zindle.exe" 0 \
    SW_SHOWNORMAL "" "A keyboard toy for small children, without sound"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zindle.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; In kilobytes, as Apps & features shows it.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Removes exactly what the installer put there; a folder that still holds
; something of the user's own stays.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Zindle.lnk"
  Delete "$SMPROGRAMS\Zindle (silent).lnk"
  Delete "$INSTDIR\zindle.exe"
  Delete "$INSTDIR\wumbly.jpg"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The per-user programs folder, when the toy was the last program in it.
  RMDir "$LOCALAPPDATA\Programs"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
