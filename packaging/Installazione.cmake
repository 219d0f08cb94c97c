# Install rules: a complete program folder "Quorvel" under the prefix, a desktop
# entry and an icon; CPack turns the same layout into a portable .tar.gz.
option(QUORVEL_BUNDLE_QT "Copy the Qt libraries and plugins into the program folder" OFF)

set(QUORVEL_INSTALL_DIR "Quorvel")
install(TARGETS Quorvel RUNTIME DESTINATION ${QUORVEL_INSTALL_DIR} COMPONENT programma)
install(FILES "${QUORVEL_PROGRAM_DIR}/Guida.pdf" DESTINATION ${QUORVEL_INSTALL_DIR}
        COMPONENT programma OPTIONAL)
# The password file holds the user's password: laid only when missing.
install(CODE "
    set(dest \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORVEL_INSTALL_DIR}/unins000.dll\")
    if(NOT EXISTS \"\${dest}\")
        file(INSTALL \"${QUORVEL_PROGRAM_DIR}/unins000.dll\"
             DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORVEL_INSTALL_DIR}\")
    else()
        message(STATUS \"Kept existing: \${dest}\")
    endif()" COMPONENT programma)

# Desktop entry and icon: the program appears in the desktop's menu.
set(QUORVEL_DIR "\${CMAKE_INSTALL_PREFIX}/${QUORVEL_INSTALL_DIR}")
install(CODE "
    set(QUORVEL_DIR \"\${CMAKE_INSTALL_PREFIX}/${QUORVEL_INSTALL_DIR}\")
    set(QUORVEL_EXEC \"\${QUORVEL_DIR}/Quorvel\")
    configure_file(\"${CMAKE_SOURCE_DIR}/packaging/quorvel.desktop.in\"
                   \"${CMAKE_BINARY_DIR}/quorvel.desktop\" @ONLY)
    file(INSTALL \"${CMAKE_BINARY_DIR}/quorvel.desktop\"
         DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications\")" COMPONENT desktop)
install(FILES "${CMAKE_SOURCE_DIR}/resources/immagini/quorvel.svg"
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT desktop)

if(QUORVEL_BUNDLE_QT)
    # Libraries beside the executable, found through its run path.
    set_target_properties(Quorvel PROPERTIES INSTALL_RPATH "\$ORIGIN/lib")
    # An old-style RPATH also serves the plugins' own dependencies.
    target_link_options(Quorvel PRIVATE "-Wl,--disable-new-dtags")
    get_target_property(qt_core_lib Qt6::Core IMPORTED_LOCATION_RELEASE)
    if(NOT qt_core_lib)
        get_target_property(qt_core_lib Qt6::Core IMPORTED_LOCATION)
    endif()
    get_filename_component(qt_lib_dir "${qt_core_lib}" DIRECTORY)
    set(qt_plugin_dir "${qt_lib_dir}/qt6/plugins")
    set(plugin_groups platforms imageformats iconengines printsupport xcbglintegrations
                      platforminputcontexts multimedia)
    foreach(g ${plugin_groups})
        if(EXISTS "${qt_plugin_dir}/${g}")
            # The GStreamer media backend needs system plugins; FFmpeg's is self-contained.
            install(DIRECTORY "${qt_plugin_dir}/${g}" DESTINATION ${QUORVEL_INSTALL_DIR}/plugins
                    COMPONENT programma PATTERN "libgstreamer*" EXCLUDE)
        endif()
    endforeach()
    install(FILES "${CMAKE_SOURCE_DIR}/packaging/qt.conf" DESTINATION ${QUORVEL_INSTALL_DIR}
            COMPONENT programma)
    install(FILES "${qt_lib_dir}/../../share/qt6/translations/qtbase_it.qm"
            DESTINATION ${QUORVEL_INSTALL_DIR}/translations COMPONENT programma OPTIONAL)
    install(CODE "
        set(dest \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORVEL_INSTALL_DIR}\")
        file(GLOB_RECURSE plugins \"\${dest}/plugins/*.so\")
        file(GET_RUNTIME_DEPENDENCIES
             EXECUTABLES \"\${dest}/Quorvel\"
             LIBRARIES \${plugins}
             RESOLVED_DEPENDENCIES_VAR deps
             UNRESOLVED_DEPENDENCIES_VAR mancanti
             PRE_EXCLUDE_REGEXES \"^ld-linux\" \"^libc\\\\.so\" \"^libm\\\\.so\" \"^libdl\\\\.so\"
                                 \"^libpthread\\\\.so\" \"^librt\\\\.so\" \"^libGL\" \"^libEGL\"
                                 \"^libGLX\" \"^libGLdispatch\" \"^libdrm\" \"^libgbm\"
                                 \"^libvulkan\"
             POST_EXCLUDE_REGEXES \"^/lib64/\")
        foreach(d \${deps})
            file(INSTALL \"\${d}\" DESTINATION \"\${dest}/lib\" FOLLOW_SYMLINK_CHAIN)
        endforeach()" COMPONENT programma)
endif()

set(CPACK_PACKAGE_NAME "Quorvel")
set(CPACK_PACKAGE_VENDOR "Quorvel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR "TGZ")
set(CPACK_PACKAGE_FILE_NAME "Quorvel-${PROJECT_VERSION}-linux-x86_64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL programma)
include(CPack)
