; The setup of the ZOR2 tools for 64-bit Windows, made by scripts/package-windows:
;   makensis -DVERSION=1.0.0 -DSTAGE=folder -DFILES=installed-files.nsh -DOUTFILE=setup.exe
;            -DICON=zor2conv.ico zor2-tools.nsi
; Installs the folder STAGE into "Program Files\ZOR2 tools", puts both programs into the Start
; menu, lets the converter open .hfd and .z2k files, and writes uninstall.exe beside the
; programs. Both run silently with /S.
Unicode true
; A 64-bit setup: the programs are 64-bit, and a 32-bit setup would need the 32-bit layer of
; Windows (which Wine without its 32-bit part lacks).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "ZOR2 tools"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MENU "$SMPROGRAMS\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zor2conv.exe"
!define MUI_FINISHPAGE_RUN_TEXT "ZOR2 Kurvenkonverter starten"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "GPL-3.0-or-later"

; A file type ("hfd") opened by the converter, under its own class name.
!macro FileType SUFFIX CLASS DESCRIPTION
    WriteRegStr HKLM "Software\Classes\.${SUFFIX}" "" "${CLASS}"
    WriteRegStr HKLM "Software\Classes\${CLASS}" "" "${DESCRIPTION}"
    WriteRegStr HKLM "Software\Classes\${CLASS}\DefaultIcon" "" "$INSTDIR\zor2conv.exe,0"
    WriteRegStr HKLM "Software\Classes\${CLASS}\shell\open\command" "" \
        '"$INSTDIR\zor2conv.exe" "%1"'
!macroend

; Takes the suffix back only while it still names our class: another program may have taken it.
!macro RemoveFileType SUFFIX CLASS
    ReadRegStr $0 HKLM "Software\Classes\.${SUFFIX}" ""
    StrCmp $0 "${CLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.${SUFFIX}"
    DeleteRegKey HKLM "Software\Classes\${CLASS}"
!macroend

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Install"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The Start menu of all users, as the programs are installed for all.
    SetShellVarContext all
    CreateDirectory "${MENU}"
    CreateShortcut "${MENU}\ZOR2 Kurvenkonverter.lnk" "$INSTDIR\zor2conv.exe"
    CreateShortcut "${MENU}\ZOR2 Firmware-Lader.lnk" "$INSTDIR\ZOR2fwloader.exe"

    !insertmacro FileType "hfd" "ZOR2.OldCurve" "ZOR2 Wobbelkurve (altes Format)"
    !insertmacro FileType "z2k" "ZOR2.Curve" "ZOR2 Kurvendatei"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zor2conv.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "${MENU}\ZOR2 Kurvenkonverter.lnk"
    Delete "${MENU}\ZOR2 Firmware-Lader.lnk"
    RMDir "${MENU}"

    !insertmacro RemoveFileType "hfd" "ZOR2.OldCurve"
    !insertmacro RemoveFileType "z2k" "ZOR2.Curve"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    !include "${FILES}"
SectionEnd
