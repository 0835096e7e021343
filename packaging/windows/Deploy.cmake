# Makes the program folder of the Windows build: the program and what it loads beside it, as
# windeployqt would copy them for a Widgets program, no more. Run with cmake -P and:
#   PROGRAM      rqxcomm.exe as built                 OUT_DIR      the folder to make (emptied first)
#   QT_PREFIX    the Windows Qt (scripts/windows-qt)  RUNTIME_DLLS the MinGW-w64 runtime (C++, gcc, threads)
#   TRANSLATION  qtbase_zh_CN.qm, Qt's own texts in Chinese (the same on every platform)
#   STRIP        the MinGW-w64 strip                  FILES_NSH    the installer's file list to write
foreach(var PROGRAM OUT_DIR QT_PREFIX RUNTIME_DLLS TRANSLATION STRIP FILES_NSH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "Deploy.cmake needs ${var}")
  endif()
endforeach()

# Relative path in the folder -> the file it is made from.
set(files
    "rqxcomm.exe=${PROGRAM}"
    "Qt6Core.dll=${QT_PREFIX}/bin/Qt6Core.dll"
    "Qt6Gui.dll=${QT_PREFIX}/bin/Qt6Gui.dll"
    "Qt6Widgets.dll=${QT_PREFIX}/bin/Qt6Widgets.dll"
    "platforms/qwindows.dll=${QT_PREFIX}/plugins/platforms/qwindows.dll"
    "styles/qwindowsvistastyle.dll=${QT_PREFIX}/plugins/styles/qwindowsvistastyle.dll"
    "translations/qtbase_zh_CN.qm=${TRANSLATION}")
foreach(dll ${RUNTIME_DLLS})
  get_filename_component(name "${dll}" NAME)
  list(APPEND files "${name}=${dll}")
endforeach()

file(REMOVE_RECURSE "${OUT_DIR}")
set(install "!macro Install\n")
set(last_target "")
set(remove "!macro Remove\n")
set(folders)
foreach(entry ${files})
  string(FIND "${entry}" "=" at)
  string(SUBSTRING "${entry}" 0 ${at} relative)
  math(EXPR at "${at} + 1")
  string(SUBSTRING "${entry}" ${at} -1 source)
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "missing ${source} for ${relative}")
  endif()
  get_filename_component(folder "${relative}" DIRECTORY)
  file(MAKE_DIRECTORY "${OUT_DIR}/${folder}")
  file(COPY_FILE "${source}" "${OUT_DIR}/${relative}")
  string(REPLACE "/" "\\" windows "${relative}")
  string(REPLACE "/" "\\" windows_folder "${folder}")
  set(target "$INSTDIR")
  if(folder)
    set(target "$INSTDIR\\${windows_folder}")
  endif()
  if(NOT target STREQUAL last_target)
    string(APPEND install "  SetOutPath \"${target}\"\n")
    set(last_target "${target}")
  endif()
  string(APPEND install "  File \"${OUT_DIR}/${relative}\"\n")
  string(APPEND remove "  Delete \"$INSTDIR\\${windows}\"\n")
  if(folder)
    list(APPEND folders "${windows_folder}")
  endif()
endforeach()

# Qt finds its plugins and texts in the program's folder.
file(WRITE "${OUT_DIR}/qt.conf" "[Paths]\nPrefix = .\n")
string(APPEND install "  SetOutPath \"$INSTDIR\"\n  File \"${OUT_DIR}/qt.conf\"\n!macroend\n")
string(APPEND remove "  Delete \"$INSTDIR\\qt.conf\"\n")
list(REMOVE_DUPLICATES folders)
foreach(folder ${folders})
  string(APPEND remove "  RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
string(APPEND remove "!macroend\n")
file(WRITE "${FILES_NSH}" "${install}${remove}")

# Without their symbols and debug information (the MinGW-w64 runtime comes with both): the exports
# the program and Qt link against stay.
file(GLOB_RECURSE binaries "${OUT_DIR}/*.exe" "${OUT_DIR}/*.dll")
execute_process(COMMAND "${STRIP}" --strip-unneeded ${binaries} COMMAND_ERROR_IS_FATAL ANY)
