; The Windows installer of TALVEX Station, made by scripts/package-windows with
;   makensis -DVERSION=... -DSTAGE=... -DOUTFILE=... installer.nsi
; STAGE is the folder with everything that goes into the installation folder.
; Silent install and uninstall with /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "TALVEX Station"
!define PRODUCT_ZH "TALVEX 教導站"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TALVEX Station"
!define PROGID "TALVEX.Program"

Name "${PRODUCT_ZH}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TALVEX Station"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT_ZH} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1028 "ProductName" "${PRODUCT_ZH}"
VIAddVersionKey /LANG=1028 "FileDescription" "${PRODUCT_ZH} 安裝程式"
VIAddVersionKey /LANG=1028 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1028 "LegalCopyright" "Copyright (c) 2026 The TALVEX Station developers (MIT)"

!define MUI_ICON "${STAGE}/talvex.ico"
!define MUI_UNICON "${STAGE}/talvex.ico"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\talvex-station.exe"
!define MUI_FINISHPAGE_RUN_TEXT "啟動 ${PRODUCT_ZH}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "TradChinese"

; The station keeps DATA.TXT in its working folder: the shortcuts start it in TALVEX in
; the public documents (C:\Users\Public\Documents), which every user may write.
!define WORKDIR "$DOCUMENTS\TALVEX"

Section "install"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "${WORKDIR}"

    CreateDirectory "$SMPROGRAMS\${PRODUCT_ZH}"
    SetOutPath "${WORKDIR}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT_ZH}\${PRODUCT_ZH}.lnk" "$INSTDIR\talvex-station.exe" "" \
        "$INSTDIR\talvex-station.exe" 0 SW_SHOWNORMAL "" "程式編輯與教導"
    CreateShortcut "$SMPROGRAMS\${PRODUCT_ZH}\${PRODUCT_ZH} (模擬控制器).lnk" "$INSTDIR\talvex-station.exe" \
        "--simulate" "$INSTDIR\talvex-station.exe" 0 SW_SHOWNORMAL "" "在模擬控制器上練習, 不需要真的控制器"
    CreateShortcut "$SMPROGRAMS\${PRODUCT_ZH}\解除安裝 ${PRODUCT_ZH}.lnk" "$INSTDIR\uninstall.exe"
    SetOutPath "$INSTDIR"

    ; .tvx program files open in the station.
    WriteRegStr HKLM "Software\Classes\.tvx" "" "${PROGID}"
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "TALVEX 程式檔"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\talvex-station.exe,0"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\talvex-station.exe" "%1"'

    ; The entry in the system's list of installed programs.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_ZH}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The TALVEX Station developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\talvex-station.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "uninstall"
    SetShellVarContext all
    RMDir /r "$SMPROGRAMS\${PRODUCT_ZH}"
    ; The operator's programs and DATA.TXT in the working folder stay.
    RMDir /r "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ReadRegStr $0 HKLM "Software\Classes\.tvx" ""
    StrCmp $0 "${PROGID}" 0 +2
        DeleteRegKey HKLM "Software\Classes\.tvx"
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
SectionEnd
