# zlib 1.2 and libpng 1.6: found or refused here, with a message that says what to do.
find_path(VARNOK_ZLIB_INCLUDE zlib.h)
find_library(VARNOK_ZLIB_LIBRARY NAMES libz.a z zlib)
if(NOT VARNOK_ZLIB_INCLUDE OR NOT VARNOK_ZLIB_LIBRARY)
  message(FATAL_ERROR "zlib 1.2 for 64-bit Windows was not found. On Debian install libz-mingw-w64-dev "
                      "(make test and make run do this); on MSYS2 install mingw-w64-x86_64-zlib.")
endif()
file(STRINGS "${VARNOK_ZLIB_INCLUDE}/zlib.h" zlib_version_line REGEX "^#define ZLIB_VERSION \"")
if(NOT zlib_version_line MATCHES "\"1\\.2\\.")
  message(FATAL_ERROR "zlib in ${VARNOK_ZLIB_INCLUDE} is not of the 1.2 series (${zlib_version_line}).")
endif()

find_path(VARNOK_PNG_INCLUDE png.h HINTS ${VARNOK_DEPS_DIR}/libpng/include NO_CMAKE_FIND_ROOT_PATH)
find_path(VARNOK_PNG_INCLUDE png.h)
find_library(VARNOK_PNG_LIBRARY NAMES libpng16.a png16 png HINTS ${VARNOK_DEPS_DIR}/libpng/lib NO_CMAKE_FIND_ROOT_PATH)
find_library(VARNOK_PNG_LIBRARY NAMES libpng16.a png16 png)
if(NOT VARNOK_PNG_INCLUDE OR NOT VARNOK_PNG_LIBRARY)
  message(FATAL_ERROR "libpng 1.6 for 64-bit Windows was not found in ${VARNOK_DEPS_DIR}/libpng. "
                      "Run 'make test' or 'make run', which build it from Debian's libpng1.6 source package "
                      "(tools/build-libpng.sh); on MSYS2 install mingw-w64-x86_64-libpng.")
endif()
file(STRINGS "${VARNOK_PNG_INCLUDE}/png.h" png_version_line REGEX "^#define PNG_LIBPNG_VER_STRING \"")
if(NOT png_version_line MATCHES "\"1\\.6\\.")
  message(FATAL_ERROR "libpng in ${VARNOK_PNG_INCLUDE} is not of the 1.6 series (${png_version_line}).")
endif()

add_library(varnok_png INTERFACE)
target_include_directories(varnok_png INTERFACE ${VARNOK_PNG_INCLUDE} ${VARNOK_ZLIB_INCLUDE})
target_link_libraries(varnok_png INTERFACE ${VARNOK_PNG_LIBRARY} ${VARNOK_ZLIB_LIBRARY})
