# What a release ships, and how CPack packs it: on Linux a Debian package (game, vexal-replay,
# help pages, icons, desktop entry, AppStream metadata, man pages, copyright), for Windows a zip
# per build (both programs, the help pages, a README). scripts/package.sh runs CPack in each
# build and collects the results; README.md lists every file each one holds, and a test
# holds the packages to those lists.
set(CPACK_PACKAGE_NAME vexalmini)
set(CPACK_PACKAGE_VENDOR "The VexalMini authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2x2x2 twisting puzzle from a Pocket PC handheld")
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
set(vexal_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

if(WIN32)
    # One flat zip: Explorer's "Extract All" makes the folder. The launcher keeps its
    # product's spelling, since it hands over the .ini file named after itself.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(VEXAL_WINDOWS_FLAVOUR win64)
        set(VEXAL_WINDOWS_MACHINE "64-bit (x64)")
    else()
        set(VEXAL_WINDOWS_FLAVOUR win32)
        set(VEXAL_WINDOWS_MACHINE "32-bit (x86)")
    endif()
    configure_file(${vexal_packaging_dir}/windows/README.txt.in ${PROJECT_BINARY_DIR}/package/README.txt @ONLY
                   NEWLINE_STYLE CRLF)
    if(TARGET vexalmini)
        install(TARGETS vexalmini RUNTIME DESTINATION .)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/help/QZTVexalMini.htm
                      ${PROJECT_SOURCE_DIR}/resources/help/QZTVexal.htm DESTINATION .)
    endif()
    if(TARGET ostrover)
        install(PROGRAMS $<TARGET_FILE:ostrover> DESTINATION . RENAME Ostrover.exe)
        # Files installed as programs are not stripped with the targets; this one is, alike.
        install(CODE "if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/Ostrover.exe\")
        endif()")
    endif()
    install(FILES ${PROJECT_BINARY_DIR}/package/README.txt DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGE_FILE_NAME vexalmini-${PROJECT_VERSION}-${VEXAL_WINDOWS_FLAVOUR})
    include(CPack)
    return()
endif()

include(GNUInstallDirs)
set(VEXAL_PACKAGE_MAINTAINER "The VexalMini authors <vexalmini@example.org>" CACHE STRING
    "Maintainer (name and address) written into the Debian package and its changelog")

# Man pages and the changelog carry the version; Debian wants them compressed, the same
# bytes at every build (-n: no name, no time stamp).
function(vexal_gzip_configured source output install_dir)
    configure_file(${source} ${PROJECT_BINARY_DIR}/package/${output} @ONLY)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/package/${output}.gz
        COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/package/${output}
        DEPENDS ${PROJECT_BINARY_DIR}/package/${output}
        VERBATIM)
    add_custom_target(vexal_package_${output} ALL DEPENDS ${PROJECT_BINARY_DIR}/package/${output}.gz)
    install(FILES ${PROJECT_BINARY_DIR}/package/${output}.gz DESTINATION ${install_dir})
endfunction()

set(vexal_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/vexalmini)
vexal_gzip_configured(${PROJECT_SOURCE_DIR}/docs/man/vexal-replay.1.in vexal-replay.1 ${CMAKE_INSTALL_MANDIR}/man1)
vexal_gzip_configured(${vexal_packaging_dir}/deb/changelog.in changelog ${vexal_doc_dir})
install(FILES ${vexal_packaging_dir}/deb/copyright DESTINATION ${vexal_doc_dir})
if(TARGET vexalmini)
    vexal_gzip_configured(${PROJECT_SOURCE_DIR}/docs/man/vexalmini.6.in vexalmini.6 ${CMAKE_INSTALL_MANDIR}/man6)
    set(VEXAL_APPSTREAM_ID io.github.vexalmini.vexalmini)
    configure_file(${PROJECT_SOURCE_DIR}/shell/sdl/vexalmini.metainfo.xml.in
                   ${PROJECT_BINARY_DIR}/package/${VEXAL_APPSTREAM_ID}.metainfo.xml @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/package/${VEXAL_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Hardened as Debian builds its own programs: checked buffer calls in the programs' own
# sources (the core's float code has none), relocations read-only and bound at start.
foreach(program vexalmini vexal-replay)
    if(TARGET ${program})
        target_compile_definitions(${program} PRIVATE $<$<CONFIG:Release>:_FORTIFY_SOURCE=2>)
        target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
    endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VEXAL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Turn the layers of a 2x2x2 puzzle with the mouse until every side shows one
colour again. The pieces are cubes with one vertical edge cut off, so the
puzzle is an octagon seen from above. This is the Pocket PC 2003 game in an
SDL2 window, pixel for pixel the handheld's 240 x 320 screen.
.
The package also holds vexal-replay, which plays scripted stylus events
without a window and writes the state and frames, for bug reports and tests.")
include(CPack)
