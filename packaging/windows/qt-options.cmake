# The Qt configuration for the Windows build, read by scripts/build-qt-windows with
# "cmake -C". Its text is part of the cache key: change it and Qt is built anew.
#
# Shared, release, and only what the station uses: Core, Gui, Widgets, Network and
# Test, with the windows and offscreen platform plugins and PNG.
set(BUILD_SHARED_LIBS ON CACHE BOOL "")
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(QT_BUILD_EXAMPLES OFF CACHE BOOL "")
set(QT_BUILD_TESTS OFF CACHE BOOL "")
set(QT_BUILD_BENCHMARKS OFF CACHE BOOL "")
# Not FEATURE_opengl: the input decides which OpenGL, and "no" means none.
set(INPUT_opengl no CACHE STRING "")
# Debian's source tarball lacks the Wintab headers that tablet events need.
set(FEATURE_tabletevent OFF CACHE BOOL "")
# Direct2D stays on: the windows plugin's DirectWrite font database needs it to link.
foreach(feature sql dbus concurrent xml printsupport vulkan icu ssl openssl schannel
                jpeg gif freetype fontconfig
                system_zlib system_pcre2 system_harfbuzz system_png system_doubleconversion)
    set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
set(FEATURE_testlib ON CACHE BOOL "")
set(FEATURE_network ON CACHE BOOL "")
