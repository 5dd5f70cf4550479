# What every shipped file gets: a version resource from the project's version, and its
# debug information moved into FILE.debug beside it, found again through .gnu_debuglink.

set(VIREO_COPYRIGHT "Copyright (C) 2026 The Vireo developers")

function(vireo_ship target description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(VIREO_FILE_TYPE VFT_APP)
        set(VIREO_FILE_NAME ${target}.exe)
    else()
        set(VIREO_FILE_TYPE VFT_DLL)
        set(VIREO_FILE_NAME ${target}.dll)
    endif()
    set(VIREO_FILE_DESCRIPTION "${description}")
    set(rc ${CMAKE_BINARY_DIR}/version/${target}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/resources/Version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})

    # The linked file is stripped in place, so everything that runs it runs what ships.
    set(file $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${file}.debug ${file}
        VERBATIM)
endfunction()
