set(MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles in SSE registers as on x86_64; long double stays the x87 type.
set(CMAKE_CXX_FLAGS_INIT "-mfpmath=sse -msse2")
