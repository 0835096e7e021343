; The Windows installer of rqxcomm: a 64-bit installer (a 32-bit one would be redirected away from
; the 64-bit Program Files and registry), in Simplified Chinese or English after the system's language.
; Installs for every user of the machine into Program Files, with a Start-menu entry, an optional
; desktop shortcut and an uninstaller listed in Apps & features. /S installs and uninstalls silently;
; /D=FOLDER (last on the command line) installs elsewhere.
;
; The build (packaging/windows/CMakeLists.txt, target windows_installer) defines:
;   VERSION       the program's version, e.g. 1.31      VERSION4  the same with four parts, 1.31.0.0
;   PROGRAM_DIR   the program folder to install         FILES     the list of its files (Install/Remove)
;   ICON          the program's icon                    OUTFILE   the installer to write
;   PUBLISHER     who publishes the program
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include "${FILES}"

!define PRODUCT "RQX全站仪通讯软件"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\rqxcomm"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\rqxcomm"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
!macro VersionKeys LANG DESCRIPTION
  VIAddVersionKey /LANG=${LANG} "ProductName" "${PRODUCT}"
  VIAddVersionKey /LANG=${LANG} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG} "FileVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANG} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANG} "LegalCopyright" "© ${PUBLISHER}"
!macroend

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one shown where the system's is neither.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

!insertmacro VersionKeys ${LANG_SIMPCHINESE} "${PRODUCT} 安装程序"
!insertmacro VersionKeys ${LANG_ENGLISH} "${PRODUCT} setup"

LangString SectionProgram ${LANG_SIMPCHINESE} "程序"
LangString SectionProgram ${LANG_ENGLISH} "Program"
LangString SectionDesktop ${LANG_SIMPCHINESE} "桌面快捷方式"
LangString SectionDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString Needs64Bit ${LANG_SIMPCHINESE} "本程序需要 64 位 Windows。"
LangString Needs64Bit ${LANG_ENGLISH} "This program needs 64-bit Windows."

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "$(Needs64Bit)" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "!$(SectionProgram)" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro Install
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\rqxcomm.exe" "" "$INSTDIR\rqxcomm.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rqxcomm.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SectionDesktop)" SectionDesktop
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\rqxcomm.exe" "" "$INSTDIR\rqxcomm.exe" 0
SectionEnd

; Only what the installer put there is removed: the folder goes only once it is empty, so a folder
; chosen by hand keeps whatever else it holds. Settings and session logs are the user's and stay.
Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  !insertmacro Remove
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
