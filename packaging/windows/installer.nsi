; The Windows installer of RT62MWin. scripts/windows-package.sh stages the files and writes the two
; lists this script includes (files.nsh installs them, unfiles.nsh removes exactly those), then runs
;   makensis -DVERSION=1.00 -DSTAGE=<staged folder> -DLISTS=<folder of the lists> -DOUTFILE=<setup.exe>
; Silent: setup.exe /S [/D=C:\Path] ; the uninstaller: Uninstall.exe /S

Unicode True
; A 64-bit installer for a 64-bit program (and one that 64-bit-only Wine runs).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define APP "RT62MWin"
!define PROGID "RT62MWin.DataFile"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define APP_KEY "Software\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${APP_KEY}" "InstallDir"
BrandingText "${APP} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\RT62MWin.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the system's display language when it is one of these, else the first.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "SimpChinese"

; The file type's name in Explorer, in the language the installer speaks.
LangString FILE_TYPE ${LANG_ENGLISH} "KT-905 data file"
LangString FILE_TYPE ${LANG_GERMAN} "KT-905-Funkgerät-Datendatei"
LangString FILE_TYPE ${LANG_FRENCH} "Fichier de données de radio KT-905"
LangString FILE_TYPE ${LANG_SPANISH} "Archivo de datos de radio KT-905"
LangString FILE_TYPE ${LANG_PORTUGUESEBR} "Arquivo de dados de rádio KT-905"
LangString FILE_TYPE ${LANG_POLISH} "Plik danych radiotelefonu KT-905"
LangString FILE_TYPE ${LANG_SIMPCHINESE} "KT-905 对讲机数据文件"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Install"
    ; An earlier version goes first, with its own list, so files it had and this one has not do
    ; not linger. _?= makes the wait last until its files are gone.
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "UninstallString"
    ReadRegStr $R1 HKLM "${APP_KEY}" "InstallDir"
    ${If} $R0 != ""
    ${AndIf} $R1 != ""
    ${AndIf} ${FileExists} "$R1\Uninstall.exe"
        ExecWait '"$R1\Uninstall.exe" /S _?=$R1'
        Delete "$R1\Uninstall.exe"
        RMDir "$R1"
    ${EndIf}

    !include "${LISTS}\files.nsh"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\RT62MWin.exe" "" "$INSTDIR\RT62MWin.exe" 0

    ; The .r62 file type: the class it had before is kept, to be given back on uninstall.
    ReadRegStr $R2 HKLM "Software\Classes\.r62" ""
    ${If} $R2 != ""
    ${AndIf} $R2 != "${PROGID}"
        WriteRegStr HKLM "${APP_KEY}" "PreviousR62Class" $R2
    ${EndIf}
    WriteRegStr HKLM "Software\Classes\.r62" "" "${PROGID}"
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "$(FILE_TYPE)"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\RT62MWin.exe,0"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\RT62MWin.exe" "%1"'

    WriteRegStr HKLM "${APP_KEY}" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\RT62MWin.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "RT62MWin developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
    ; File by file, the list the installer used: whatever else is in the folder (a data file saved
    ; there, a settings file) stays, and so does the folder then.
    !include "${LISTS}\unfiles.nsh"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${APP}.lnk"

    ReadRegStr $R0 HKLM "Software\Classes\.r62" ""
    ${If} $R0 == "${PROGID}"
        ReadRegStr $R1 HKLM "${APP_KEY}" "PreviousR62Class"
        ${If} $R1 != ""
            WriteRegStr HKLM "Software\Classes\.r62" "" $R1
        ${Else}
            DeleteRegValue HKLM "Software\Classes\.r62" ""
            DeleteRegKey /ifempty HKLM "Software\Classes\.r62"
        ${EndIf}
    ${EndIf}
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    DeleteRegKey HKLM "${APP_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
