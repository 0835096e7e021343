# Builds the Debian package from the build tree and checks what a fresh system would get from it: the
# files, the dependencies, and that the installed program answers --version and --help.
#   cmake -DBUILD_DIR=<build tree> -DWORK_DIR=<scratch folder> -DVERSION=<project version> -P CheckDebianPackage.cmake
cmake_minimum_required(VERSION 3.25)

function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

function(run output)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    fail("${ARGN} failed (${status}):\n${out}${err}")
  endif()
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
run(ignored cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}")
file(GLOB packages "${WORK_DIR}/*.deb")
list(LENGTH packages count)
if(NOT count EQUAL 1)
  fail("expected one package, found: ${packages}")
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT packages MATCHES "/rqxcomm_${VERSION}_${arch}\\.deb$")
  fail("package named ${packages}, expected rqxcomm_${VERSION}_${arch}.deb")
endif()

# Exactly these files, nothing from the build (no tests, benchmarks, libraries or headers).
run(listing dpkg-deb -c "${packages}")
string(REGEX MATCHALL "\\./[^\n]*[^/\n]\n" lines "${listing}")
set(files)
foreach(line ${lines})
  string(STRIP "${line}" line)
  string(REGEX REPLACE " -> .*" "" line "${line}")
  list(APPEND files "${line}")
endforeach()
list(SORT files)
set(expected
    ./usr/bin/rqxcomm
    ./usr/bin/rqxcomm-instrument-simulator
    ./usr/share/applications/rqxcomm.desktop
    ./usr/share/icons/hicolor/256x256/apps/rqxcomm.png
    ./usr/share/icons/hicolor/48x48/apps/rqxcomm.png
    ./usr/share/icons/hicolor/scalable/apps/rqxcomm.svg)
if(NOT files STREQUAL expected)
  fail("package files:\n${files}\nexpected:\n${expected}")
endif()

run(fields dpkg-deb -f "${packages}" Package Version Depends Recommends)
foreach(field "Package: rqxcomm" "Version: ${VERSION}")
  if(NOT fields MATCHES "${field}\n")
    fail("control lacks '${field}':\n${fields}")
  endif()
endforeach()
string(REGEX MATCH "Depends: [^\n]*" depends "${fields}")
# libqt6gui6 carries the X11 platform plugin.
foreach(dependency libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 qt6-translations-l10n fonts-wqy-microhei)
  if(NOT depends MATCHES "(: |, |\\| )${dependency}( |,|$)")
    fail("${depends}\nlacks ${dependency}")
  endif()
endforeach()

if(NOT fields MATCHES "Recommends: qt6-wayland\n")
  fail("control lacks the Wayland plugin's recommendation:\n${fields}")
endif()

run(ignored dpkg-deb -x "${packages}" "${WORK_DIR}/root")
set(root "${WORK_DIR}/root/usr")
file(READ "${root}/share/applications/rqxcomm.desktop" entry)
foreach(line "Exec=rqxcomm" "Icon=rqxcomm" "Name=" "Name\\[zh_CN\\]=" "Comment\\[zh_CN\\]=")
  if(NOT entry MATCHES "\n${line}")
    fail("desktop entry lacks ${line}:\n${entry}")
  endif()
endforeach()

# Answered on the terminal: no display is needed for these.
set(ENV{QT_QPA_PLATFORM} "")
set(ENV{DISPLAY} "")
run(version "${root}/bin/rqxcomm" --version)
if(NOT version STREQUAL "rqxcomm ${VERSION}\n")
  fail("--version printed '${version}'")
endif()
run(help "${root}/bin/rqxcomm" --help)
foreach(option "Usage: [^\n]*rqxcomm \\[options\\]" "-h, --help" "-v, --version" "--device-dir <DIR>")
  if(NOT help MATCHES "${option}")
    fail("--help lacks ${option}:\n${help}")
  endif()
endforeach()
run(ignored "${root}/bin/rqxcomm-instrument-simulator" --help)
