# The same sources as a 64-bit program, for running the tests under 64-bit
# Wine on machines whose kernel cannot run 32-bit code.
set(ZIMBEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(ZIMBEL_WINE_ARCH win64)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
