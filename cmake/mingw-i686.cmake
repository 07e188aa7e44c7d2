set(ZIMBEL_MINGW_TRIPLE i686-w64-mingw32)
set(ZIMBEL_WINE_ARCH win32)
set(CMAKE_SYSTEM_PROCESSOR i686)
# SSE2 arithmetic as on x86-64: x87's extended precision would make the i686
# build round and overflow differently from the tested x86-64 one.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
