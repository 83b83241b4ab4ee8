; The Windows installer of Tavleplanner, made by the tavle_installer target of a Windows build
; (cmake/WindowsInstaller.cmake, ./run windows-package), which defines:
;   VERSION  the program's version (2.2)     VERSION4  the same as four numbers (2.2.0.0)
;   STAGE    the stripped programs            BUILD     the build folder (fonts, the guide)
;   SOURCE   the source folder                QTDA      Qt's Danish texts, qtbase_da.qm
;   OUTFILE  the setup program to write
; Per machine into Program Files, in Danish; /S installs and uninstalls without a window. The
; user's own settings (HKCU) and the board's record in the user's data are never touched.
; A 64-bit installer for the 64-bit program: it starts only on a 64-bit Windows and sees the
; 64-bit Program Files and registry as they are (and it runs under Debian's wine64 alone).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include StrFunc.nsh
${StrStr}
${UnStrStr}

!define PRODUCT "Tavleplanner"
!define PUBLISHER "Tavleplanner"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavleplanner"
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define PROGID "Tavleplanner.Udskriftsjob"
; A registry string this long or longer may have been cut when read.
!define /math PATH_LIMIT ${NSIS_MAX_STRLEN} - 2

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1030 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1030 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1030 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1030 "FileDescription" "Installation af ${PRODUCT} ${VERSION}"
VIAddVersionKey /LANG=1030 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1030 "LegalCopyright" "GNU General Public License, version 3 eller senere"

!define MUI_ICON "${SOURCE}/packaging/icons/tavleplanner.ico"
!define MUI_UNICON "${SOURCE}/packaging/icons/tavleplanner.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${SOURCE}/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Danish"

Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Tavleplanner"
  SetOutPath "$INSTDIR"
  File "${STAGE}/tavleplanner.exe"
  File "${STAGE}/tavleprint.exe"
  File "${BUILD}/src/app/LiberationSans-*.ttf"
  File "/oname=LICENSE.txt" "${SOURCE}/LICENSE"
  ; The F1 guide beside the program, its pictures under doc\images as the guide names them.
  File "${BUILD}/share/tavleplanner/vejledning.md"
  SetOutPath "$INSTDIR\doc\images"
  File "${BUILD}/share/tavleplanner/doc/images/*.png"
  SetOutPath "$INSTDIR\translations"
  File "${QTDA}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tavleplanner.exe" "" \
                 "$INSTDIR\tavleplanner.exe" 0

  ; A saved print job (.brp) opens in the preview, as "tavleplanner FILE.brp" does.
  WriteRegStr HKLM "Software\Classes\.brp" "" "${PROGID}"
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Tavleplanner udskriftsjob"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\tavleplanner.exe,0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" \
              '"$INSTDIR\tavleplanner.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavleplanner.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  ; tavleprint from a command prompt: the folder appended once to the machine's PATH. NSIS
  ; reads at most NSIS_MAX_STRLEN characters, so a PATH that long is left alone rather than cut
  ; (tavleprint is then reached by its full path). What was appended is kept for the uninstaller.
  ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "Path"
  StrLen $1 $0
  StrLen $2 "$INSTDIR"
  IntOp $1 $1 + $2
  ${StrStr} $3 ";$0;" ";$INSTDIR;"
  ${If} $3 != ""
    DetailPrint "$INSTDIR står allerede i PATH."
  ${ElseIf} $1 >= ${PATH_LIMIT}
    DetailPrint "PATH er for lang til at blive ændret sikkert; $INSTDIR er ikke tilføjet."
  ${Else}
    ${If} $0 == ""
      StrCpy $4 "$INSTDIR"
    ${Else}
      StrCpy $5 $0 1 -1
      ${If} $5 == ";"
        StrCpy $4 "$INSTDIR"
      ${Else}
        StrCpy $4 ";$INSTDIR"
      ${EndIf}
    ${EndIf}
    WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" "$0$4"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PathAppended" "$4"
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  ${EndIf}
SectionEnd

Section "Uninstall"
  ; Exactly what the installer appended to PATH, when it is still at the end (or else the
  ; folder's own entry where it now stands).
  ReadRegStr $4 HKLM "${UNINSTALL_KEY}" "PathAppended"
  ${If} $4 != ""
    ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "Path"
    StrLen $1 $0
    StrLen $2 $4
    IntOp $3 $1 - $2
    StrCpy $5 $0 "" $3
    ${If} $1 >= ${PATH_LIMIT}
      DetailPrint "PATH er for lang til at blive ændret sikkert; $INSTDIR står der stadig."
    ${ElseIf} $5 == $4
      StrCpy $0 $0 $3
      WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $0
    ${Else}
      StrCpy $8 ";$0;"
      ${UnStrStr} $5 $8 ";$INSTDIR;"
      ${If} $5 != ""
        StrLen $1 $8
        StrLen $2 $5
        IntOp $3 $1 - $2 ; where the entry starts
        StrCpy $6 $8 $3
        StrLen $2 ";$INSTDIR"
        StrCpy $7 $5 "" $2
        StrCpy $0 "$6$7" "" 1
        StrCpy $0 $0 -1
        WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $0
      ${EndIf}
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  ${EndIf}

  ReadRegStr $0 HKLM "Software\Classes\.brp" ""
  ${If} $0 == "${PROGID}"
    DeleteRegKey HKLM "Software\Classes\.brp"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\tavleplanner.exe"
  Delete "$INSTDIR\tavleprint.exe"
  Delete "$INSTDIR\LiberationSans-*.ttf"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\vejledning.md"
  Delete "$INSTDIR\doc\images\*.png"
  RMDir "$INSTDIR\doc\images"
  RMDir "$INSTDIR\doc"
  Delete "$INSTDIR\translations\qtbase_da.qm"
  RMDir "$INSTDIR\translations"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
