# Fails when a source file includes a layer it must not reach: arrows point down only.
#   cmake -DSOURCE_DIR=<repo>/src -P CheckLayers.cmake
# Each subsystem lists the folders it may include besides its own; platform/ and app/ sit on top and
# may include any of them, but nothing below includes app/ or platform/.
set(allowed_foundation "")
set(allowed_playback   foundation)
set(allowed_lyrics     foundation playback)
set(allowed_visuals    foundation playback lyrics)
set(allowed_settings   foundation playback)
set(allowed_overlay    foundation playback lyrics visuals settings)
# The overlay draws what the frame carries; it never reads the settings themselves.
set(forbidden_overlay  settings/AppSettings.h)

set(violations "")
foreach(layer foundation playback lyrics visuals settings overlay)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^#include \"[a-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX MATCH "\"([a-z]+)/[^\"]*\"" quoted "${line}")
            set(folder "${CMAKE_MATCH_1}")
            string(REPLACE "\"" "" header "${quoted}")
            if(folder STREQUAL layer)
                continue()
            endif()
            list(FIND allowed_${layer} "${folder}" at)
            list(FIND forbidden_${layer} "${header}" banned)
            if(at EQUAL -1 OR NOT banned EQUAL -1)
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                list(APPEND violations "${shown} includes ${header}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " listed)
    message(FATAL_ERROR "includes that point up a layer:\n  ${listed}")
endif()
