# Cross build for 64-bit ARM on a Debian amd64 machine with arm64 as a second dpkg architecture:
#   dpkg --add-architecture arm64
#   apt-get install g++-aarch64-linux-gnu qemu-user qt6-base-dev:arm64 qt6-serialport-dev:arm64 ...
# The arm64 headers and libraries live beside the host's in the multiarch folders
# (/usr/include/aarch64-linux-gnu, /usr/lib/aarch64-linux-gnu), so no sysroot is needed; Qt's code
# generators (moc, uic, rcc) are the host's own. Programs built here run under qemu-user, which
# finds the arm64 loader and libraries in the same folders; ctest runs the tests through it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_STRIP aarch64-linux-gnu-strip CACHE FILEPATH "")
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)

# Libraries and headers of the target architecture only; programs (moc and friends) from the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake)
