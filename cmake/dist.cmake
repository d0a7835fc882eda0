# The release: sample themes, licence texts, the user guide as one HTML page, the installer and the
# portable zip (built with everything else, so that the tests can install and unpack them) and the
# `dist` target, which checks that every place that carries the version agrees with the project
# version and that the guide in the zip finds everything it links.
set(VARNOK_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(VARNOK_THEMES_DIR ${CMAKE_BINARY_DIR}/themes)
set(VARNOK_LICENSES_DIR ${CMAKE_BINARY_DIR}/licenses)
# The guide's page, its pictures and the change list, laid out as in both packages.
set(VARNOK_DOCS_DIR ${CMAKE_BINARY_DIR}/guide)
set(VARNOK_GUIDE ${VARNOK_DOCS_DIR}/docs/guide.html)
set(VARNOK_CHANGES ${VARNOK_DOCS_DIR}/CHANGES.txt)
set(VARNOK_START_SCRIPT ${CMAKE_SOURCE_DIR}/packaging/VARNOK-start.cmd)
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

# Debian's python3-markdown: tools/setup-debian.sh installs it.
file(GLOB VARNOK_GUIDE_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/images/*)
add_custom_command(OUTPUT ${VARNOK_GUIDE} ${VARNOK_CHANGES}
  COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make-guide.py --guide ${CMAKE_SOURCE_DIR}/docs/guide.md
          --changes ${CMAKE_SOURCE_DIR}/CHANGES.txt --version ${PROJECT_VERSION} --out ${VARNOK_DOCS_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make-guide.py ${CMAKE_SOURCE_DIR}/docs/guide.md ${CMAKE_SOURCE_DIR}/CHANGES.txt
          ${VARNOK_GUIDE_PICTURES}
  COMMENT "Making the user guide's HTML page and the change list"
  VERBATIM)
add_custom_target(varnok_guide ALL DEPENDS ${VARNOK_GUIDE} ${VARNOK_CHANGES})

add_custom_command(OUTPUT ${VARNOK_ZIP}
  COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make-zip.py ${VARNOK_ZIP} $<TARGET_FILE:VARNOK>
          ${CMAKE_SOURCE_DIR}/packaging/portable.txt ${VARNOK_START_SCRIPT} ${VARNOK_DOCS_DIR} ${VARNOK_LICENSES_DIR}
          ${VARNOK_THEMES_DIR}
  DEPENDS VARNOK ${CMAKE_SOURCE_DIR}/tools/make-zip.py ${CMAKE_SOURCE_DIR}/packaging/portable.txt
          ${VARNOK_START_SCRIPT} ${VARNOK_GUIDE} ${VARNOK_CHANGES} ${VARNOK_LICENSE_FILES} ${VARNOK_THEME_FILES}
  COMMENT "Packing VARNOK-${PROJECT_VERSION}-win64.zip"
  VERBATIM)
add_custom_target(varnok_zip ALL DEPENDS ${VARNOK_ZIP})
# Each file made once, before the packages that hold it.
add_dependencies(varnok_zip varnok_guide varnok_licenses varnok_themes)

find_program(VARNOK_MAKENSIS makensis)
if(VARNOK_MAKENSIS)
  add_custom_command(OUTPUT ${VARNOK_SETUP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VARNOK_DIST_DIR}
    COMMAND ${VARNOK_MAKENSIS} -V2 -WX -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
            -DPROGRAM=$<TARGET_FILE:VARNOK> -DLICENSES=${VARNOK_LICENSES_DIR} -DTHEMES=${VARNOK_THEMES_DIR}
            -DDOCS=${VARNOK_DOCS_DIR} -DICON=${VARNOK_ASSETS_DIR}/icon102.ico -DOUTFILE=${VARNOK_SETUP}
            ${CMAKE_SOURCE_DIR}/packaging/VARNOK.nsi
    DEPENDS VARNOK ${CMAKE_SOURCE_DIR}/packaging/VARNOK.nsi ${VARNOK_LICENSE_FILES} ${VARNOK_THEME_FILES}
            ${VARNOK_GUIDE} ${VARNOK_CHANGES}
    COMMENT "Building the installer VARNOK-${PROJECT_VERSION}-setup.exe"
    VERBATIM)
  add_custom_target(varnok_installer ALL DEPENDS ${VARNOK_SETUP})
  add_dependencies(varnok_installer varnok_guide varnok_licenses varnok_themes)

  add_custom_target(dist
    COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/check-release.py --version ${PROJECT_VERSION}
            --exe $<TARGET_FILE:VARNOK> --installer ${VARNOK_SETUP} --zip ${VARNOK_ZIP}
    COMMAND ${VARNOK_DIST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/check-guide.py ${VARNOK_ZIP}
    COMMENT "Checking the version of every package and the links of the guide in the zip"
    VERBATIM)
  add_dependencies(dist varnok_installer varnok_zip)
else()
  add_custom_target(dist
    COMMAND ${CMAKE_COMMAND} -E echo "dist: makensis was not found; tools/setup-debian.sh installs it"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
