# make package: the files a Windows user needs, zipped as dist/vireo-VERSION-win64.zip.
find_program(VIREO_ZIP zip)
set(VIREO_PACKAGE vireo-${PROJECT_VERSION}-win64)
set(VIREO_DIST ${CMAKE_BINARY_DIR}/dist)
set(stage ${VIREO_DIST}/${VIREO_PACKAGE})
set(readme ${CMAKE_BINARY_DIR}/README-windows.txt)
configure_file(${CMAKE_SOURCE_DIR}/docs/README-windows.txt.in ${readme} @ONLY NEWLINE_STYLE CRLF)
file(MAKE_DIRECTORY ${VIREO_DIST})
file(GLOB VIREO_SAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/samples/*)

add_custom_target(dist
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${stage}.zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/samples
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Vireo> $<TARGET_FILE:Vireo>.debug
        $<TARGET_FILE:VireoHost> $<TARGET_FILE:Kxf> ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy ${readme} ${stage}/README.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${VIREO_SAMPLES} ${stage}/samples
    COMMAND ${VIREO_ZIP} -q -r -X ${VIREO_PACKAGE}.zip ${VIREO_PACKAGE}
    COMMAND ${CMAKE_COMMAND} -E echo "${stage}.zip"
    WORKING_DIRECTORY ${VIREO_DIST}
    VERBATIM)
add_dependencies(dist Vireo VireoHost Kxf)
