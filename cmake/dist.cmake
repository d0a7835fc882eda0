# The release: sample themes, licence texts, the installer (built with everything else, so that the
# tests can install it) and the `dist` target, which adds the portable zip and checks that every
# place that carries the version agrees with the project version.
set(VARNOK_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(VARNOK_THEMES_DIR ${CMAKE_BINARY_DIR}/themes)
set(VARNOK_LICENSES_DIR ${CMAKE_BINARY_DIR}/licenses)
set(VARNOK_SETUP ${VARNOK_DIST_DIR}/VARNOK-${PROJECT_VERSION}-setup.exe)
set(VARNOK_ZIP ${VARNOK_DIST_DIR}/VARNOK-${PROJECT_VERSION}-win64.zip)
# Debian's python3 first: it has Pillow for the theme images.
find_program(VARNOK_DIST_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(VARNOK_DIST_PYTHON NAMES python3 python)

file(GLOB VARNOK_THEME_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/themes/*.VKT)
set(VARNOK_THEME_FILES)
foreach(theme IN LISTS VARNOK_THEME_SOURCES)
  get_filename_component(name ${theme} NAME)
  list(APPEND VARNOK_THEME_FILES ${VARNOK_THEMES_DIR}/${name})
endforeach()
list(APPEND VARNOK_THEME_FILES ${VARNOK_THEMES_DIR}/aurora.png ${VARNOK_THEMES_DIR}/capsule.png
  ${VARNOK_THEMES_DIR}/capsule-mask.bmp)
add_custom_command(OUTPUT ${VARNOK_THEME_FILES}
  COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/gen_themes.py ${CMAKE_SOURCE_DIR}/themes ${VARNOK_THEMES_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_themes.py ${VARNOK_THEME_SOURCES}
  COMMENT "Drawing the sample themes' images")
add_custom_target(varnok_themes ALL DEPENDS ${VARNOK_THEME_FILES})

set(VARNOK_LICENSE_FILES)
foreach(name VARNOK libpng zlib libstdc++-libgcc mingw-w64-runtime)
  list(APPEND VARNOK_LICENSE_FILES ${VARNOK_LICENSES_DIR}/${name}.txt)
endforeach()
add_custom_command(OUTPUT ${VARNOK_LICENSE_FILES}
  COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/collect-licenses.py ${VARNOK_LICENSES_DIR}
          ${CMAKE_SOURCE_DIR} ${VARNOK_DEPS_DIR}/libpng ${VARNOK_DEPS_DIR}/src ${CMAKE_CXX_COMPILER}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/collect-licenses.py ${CMAKE_SOURCE_DIR}/LICENSE
  COMMENT "Collecting the licence texts of VARNOK and of what it links")
add_custom_target(varnok_licenses ALL DEPENDS ${VARNOK_LICENSE_FILES})

find_program(VARNOK_MAKENSIS makensis)
if(VARNOK_MAKENSIS)
  add_custom_command(OUTPUT ${VARNOK_SETUP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VARNOK_DIST_DIR}
    COMMAND ${VARNOK_MAKENSIS} -V2 -WX -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
            -DPROGRAM=$<TARGET_FILE:VARNOK> -DLICENSES=${VARNOK_LICENSES_DIR} -DTHEMES=${VARNOK_THEMES_DIR}
            -DICON=${VARNOK_ASSETS_DIR}/icon102.ico -DOUTFILE=${VARNOK_SETUP}
            ${CMAKE_SOURCE_DIR}/packaging/VARNOK.nsi
    DEPENDS VARNOK ${CMAKE_SOURCE_DIR}/packaging/VARNOK.nsi ${VARNOK_LICENSE_FILES} ${VARNOK_THEME_FILES}
    COMMENT "Building the installer VARNOK-${PROJECT_VERSION}-setup.exe"
    VERBATIM)
  add_custom_target(varnok_installer ALL DEPENDS ${VARNOK_SETUP})

  add_custom_target(dist
    COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make-zip.py ${VARNOK_ZIP} $<TARGET_FILE:VARNOK>
            ${CMAKE_SOURCE_DIR}/packaging/portable.txt ${VARNOK_LICENSES_DIR} ${VARNOK_THEMES_DIR}
    COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/check-release.py --version ${PROJECT_VERSION}
            --exe $<TARGET_FILE:VARNOK> --installer ${VARNOK_SETUP} --zip ${VARNOK_ZIP}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/make-zip.py ${CMAKE_SOURCE_DIR}/packaging/portable.txt
    COMMENT "Packing VARNOK-${PROJECT_VERSION}-win64.zip and checking the version of every package"
    VERBATIM)
  add_dependencies(dist varnok_installer)
else()
  add_custom_target(dist
    COMMAND ${CMAKE_COMMAND} -E echo "dist: makensis was not found; tools/setup-debian.sh installs it"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
