; The Windows installer of mxb (NSIS 3, built by cmake/Package.cmake with
; makensis -WX, so a warning fails the build).
;
; Installs mxb.exe, README.md and LICENSE into "Program Files\mxb" (the
; 32-bit Program Files on a 64-bit Windows), adds a Start-menu folder with the
; program and its uninstaller, and registers the uninstaller under
; Add/Remove Programs. Everything is machine-wide, so it asks for elevation.
;
; The program keeps its project list (APPS.VEL) and activity log
; (TEMPFILE.VEL) in its current folder, and Program Files is not writable for
; users: the Start-menu entry starts it in the shared documents folder
; "Documents\mxb" (made here, kept by the uninstaller: it holds the users' data).
;
; Defines given by the build:
;   VERSION  the product version, three numbers (1.2.3)
;   STAGE    the folder holding mxb.exe, README.md and LICENSE
;   OUTFILE  the installer to write

!ifndef VERSION | STAGE | OUTFILE
  !error "VERSION, STAGE and OUTFILE must be defined (-DVERSION=... on the makensis command line)"
!endif

Unicode true
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define PRODUCT "mxb"
!define PRODUCT_TITLE "Tessaly (Batch Compile Manager)"
!define PUBLISHER "the mxb authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT_TITLE}"
!define DATA_FOLDER "$DOCUMENTS\${PRODUCT}"

Name "${PRODUCT_TITLE}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT_TITLE}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT_TITLE} installer"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "run now" box: the installer runs elevated, in Program Files, where
; the program would make its data files.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\mxb.exe"
  File "${STAGE}\README.md"
  File "${STAGE}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut's working folder is the output path when it is made.
  CreateDirectory "${DATA_FOLDER}"
  SetOutPath "${DATA_FOLDER}"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT_TITLE}.lnk" "$INSTDIR\mxb.exe"
  CreateShortcut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mxb.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "${MENU_FOLDER}\${PRODUCT_TITLE}.lnk"
  Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
  RMDir "${MENU_FOLDER}"
  Delete "$INSTDIR\mxb.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The data folder goes only when it is empty: the project list stays.
  RMDir "${DATA_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
