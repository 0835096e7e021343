# Builds the Debian package from the build tree and checks what a fresh system would get from it: the
# files, the dependencies, what Debian's checker and AppStream's validator say, and that the installed
# program answers --version and --help (through EMULATOR, e.g. qemu-aarch64, for a cross build).
#   cmake -DBUILD_DIR=<build tree> -DWORK_DIR=<scratch folder> -DVERSION=<project version>
#         -DARCH=<dpkg architecture> [-DEMULATOR=<program>] -P CheckDebianPackage.cmake
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
if(NOT packages MATCHES "/rqxcomm_${VERSION}_${ARCH}\\.deb$")
  fail("package named ${packages}, expected rqxcomm_${VERSION}_${ARCH}.deb")
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
    ./usr/lib/udev/rules.d/70-rqxcomm-cable.rules
    ./usr/share/applications/rqxcomm.desktop
    ./usr/share/doc/rqxcomm/changelog.gz
    ./usr/share/doc/rqxcomm/copyright
    ./usr/share/icons/hicolor/256x256/apps/rqxcomm.png
    ./usr/share/icons/hicolor/48x48/apps/rqxcomm.png
    ./usr/share/icons/hicolor/scalable/apps/rqxcomm.svg
    ./usr/share/man/man1/rqxcomm-instrument-simulator.1.gz
    ./usr/share/man/man1/rqxcomm.1.gz
    ./usr/share/metainfo/org.example.rqxcomm.metainfo.xml)
if(NOT files STREQUAL expected)
  fail("package files:\n${files}\nexpected:\n${expected}")
endif()

run(fields dpkg-deb -f "${packages}" Package Version Architecture Depends Recommends)
foreach(field "Package: rqxcomm" "Version: ${VERSION}" "Architecture: ${ARCH}")
  if(NOT fields MATCHES "${field}\n")
    fail("control lacks '${field}':\n${fields}")
  endif()
endforeach()
string(REGEX MATCH "Depends: [^\n]*" depends "${fields}")
# libqt6gui6 carries the X11 platform plugin; libxlsxwriter (its soname's number in the name) writes the
# spreadsheet export's workbooks.
foreach(dependency libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 "libxlsxwriter[0-9]+" qt6-translations-l10n
                   fonts-wqy-microhei)
  if(NOT depends MATCHES "(: |, |\\| )${dependency}( |,|$)")
    fail("${depends}\nlacks ${dependency}")
  endif()
endforeach()

if(NOT fields MATCHES "Recommends: qt6-wayland\n")
  fail("control lacks the Wayland plugin's recommendation:\n${fields}")
endif()

# Debian's checker: no error and no warning (the manual pages' rendering included).
execute_process(COMMAND lintian --fail-on error,warning "${packages}" RESULT_VARIABLE status
                OUTPUT_VARIABLE tags ERROR_QUIET)
if(NOT status EQUAL 0 OR tags MATCHES "(^|\n)[EW]: ")
  fail("lintian (${status}):\n${tags}")
endif()

run(ignored dpkg-deb -x "${packages}" "${WORK_DIR}/root")
set(root "${WORK_DIR}/root/usr")
file(READ "${root}/share/applications/rqxcomm.desktop" entry)
foreach(line "Exec=rqxcomm" "Icon=rqxcomm" "Name=" "Name\\[zh_CN\\]=" "Comment\\[zh_CN\\]=")
  if(NOT entry MATCHES "\n${line}")
    fail("desktop entry lacks ${line}:\n${entry}")
  endif()
endforeach()

run(ignored appstreamcli validate --no-net "${root}/share/metainfo/org.example.rqxcomm.metainfo.xml")

# The cable (USB vendor 067b) is granted to the user at the seat; the seat rules (73) apply the tag.
file(READ "${root}/lib/udev/rules.d/70-rqxcomm-cable.rules" rule)
if(NOT rule MATCHES "\nACTION!=\"remove\", SUBSYSTEM==\"tty\", SUBSYSTEMS==\"usb\", ATTRS{idVendor}==\"067b\", TAG\\+=\"uaccess\"\n")
  fail("udev rule:\n${rule}")
endif()

# Answered on the terminal: no display is needed for these.
set(ENV{QT_QPA_PLATFORM} "")
set(ENV{DISPLAY} "")
run(version ${EMULATOR} "${root}/bin/rqxcomm" --version)
if(NOT version STREQUAL "rqxcomm ${VERSION}\n")
  fail("--version printed '${version}'")
endif()
run(help ${EMULATOR} "${root}/bin/rqxcomm" --help)
foreach(option "Usage: [^\n]*rqxcomm \\[options\\]" "-h, --help" "-v, --version" "--device-dir <DIR>")
  if(NOT help MATCHES "${option}")
    fail("--help lacks ${option}:\n${help}")
  endif()
endforeach()
run(ignored ${EMULATOR} "${root}/bin/rqxcomm-instrument-simulator" --help)
