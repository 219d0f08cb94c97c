# Install rules: a complete program folder "Quorvel" under the prefix, a desktop
# entry and an icon; CPack turns the same layout into a portable .tar.gz.
# Installing and packaging do not build first: cpack in a test builds no benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
option(QUORVEL_BUNDLE_QT "Copy the Qt libraries and plugins into the program folder" OFF)

set(QUORVEL_INSTALL_DIR "Quorvel")
install(TARGETS Quorvel RUNTIME DESTINATION ${QUORVEL_INSTALL_DIR} COMPONENT programma)
# The tool that moves an archive folder to the server and back (README).
install(TARGETS quorvel-migra RUNTIME DESTINATION ${QUORVEL_INSTALL_DIR} COMPONENT programma)
# Qt Multimedia's module, opened beside the executable at the first camera or sound.
install(TARGETS quorvel_multimedia LIBRARY DESTINATION ${QUORVEL_INSTALL_DIR} COMPONENT programma)
install(FILES "${QUORVEL_PROGRAM_DIR}/Guida.pdf" DESTINATION ${QUORVEL_INSTALL_DIR}
        COMPONENT programma OPTIONAL)
# The script that makes the shared archive on a PostgreSQL server (README).
install(FILES "${CMAKE_SOURCE_DIR}/sql/quorvel.sql" DESTINATION ${QUORVEL_INSTALL_DIR}
        COMPONENT programma)
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

# The icon at the usual sizes, drawn from our SVG at build time.
add_executable(quorvel_icone packaging/GeneraIcone.cpp)
target_link_libraries(quorvel_icone PRIVATE Qt6::Gui Qt6::Svg quorvel_warnings)
set(QUORVEL_ICONE_DIR "${CMAKE_BINARY_DIR}/icone/hicolor")
add_custom_command(OUTPUT "${QUORVEL_ICONE_DIR}/512x512/apps/quorvel.png"
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:quorvel_icone>
            "${CMAKE_SOURCE_DIR}/resources/immagini/quorvel.svg" "${QUORVEL_ICONE_DIR}"
    DEPENDS quorvel_icone "${CMAKE_SOURCE_DIR}/resources/immagini/quorvel.svg"
    COMMENT "Icons of the hicolor theme")
add_custom_target(quorvel_icone_png ALL DEPENDS "${QUORVEL_ICONE_DIR}/512x512/apps/quorvel.png")
install(DIRECTORY "${QUORVEL_ICONE_DIR}/" DESTINATION share/icons/hicolor COMPONENT desktop)

# The Debian package (component "pacchetto", left out of a plain install): the program
# as /usr/bin/quorvel, the guide in /usr/share/quorvel, menu entry, icons, AppStream
# metadata and the documents Debian asks for. Its users keep their data in their own
# data folder, since /usr/bin cannot be written.
set(QUORVEL_APPSTREAM_ID "example.quorvel_lab.Quorvel")
set(pacchetto "${CMAKE_BINARY_DIR}/pacchetto")
file(READ "${CMAKE_SOURCE_DIR}/packaging/quorvel.desktop.in" voce)
string(REPLACE "\"@QUORVEL_EXEC@\"" "quorvel" voce "${voce}")
string(REGEX REPLACE "Path=@QUORVEL_DIR@\n" "" voce "${voce}")
file(WRITE "${pacchetto}/quorvel.desktop" "${voce}")
configure_file("${CMAKE_SOURCE_DIR}/packaging/quorvel.metainfo.xml.in"
               "${pacchetto}/${QUORVEL_APPSTREAM_ID}.metainfo.xml" @ONLY)
# Debian's documents are compressed without a time stamp.
foreach(doc changelog quorvel.1 quorvel-migra.1)
    add_custom_command(OUTPUT "${pacchetto}/${doc}.gz"
        COMMAND gzip -9n -c "${CMAKE_SOURCE_DIR}/packaging/${doc}" > "${pacchetto}/${doc}.gz"
        DEPENDS "${CMAKE_SOURCE_DIR}/packaging/${doc}"
        COMMENT "Compressed ${doc}")
    list(APPEND pacchetto_doc "${pacchetto}/${doc}.gz")
endforeach()
add_custom_target(quorvel_pacchetto_doc ALL DEPENDS ${pacchetto_doc})
install(PROGRAMS $<TARGET_FILE:Quorvel> DESTINATION bin RENAME quorvel
        COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(PROGRAMS $<TARGET_FILE:quorvel-migra> DESTINATION bin COMPONENT pacchetto EXCLUDE_FROM_ALL)
# The multimedia module in /usr/lib/quorvel, where /usr/bin/quorvel looks for it.
install(FILES $<TARGET_FILE:quorvel_multimedia> DESTINATION lib/quorvel
        COMPONENT pacchetto EXCLUDE_FROM_ALL)
# Stripped as Debian does (install(PROGRAMS) escapes CPACK_STRIP_FILES).
install(CODE "
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded --remove-section=.comment
                            --remove-section=.note
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/quorvel\"
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/quorvel-migra\"
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/quorvel/libquorvel_multimedia.so\"
                    RESULT_VARIABLE esito)
    if(NOT esito EQUAL 0)
        message(FATAL_ERROR \"strip: \${esito}\")
    endif()" COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(FILES "${QUORVEL_PROGRAM_DIR}/Guida.pdf" "${CMAKE_SOURCE_DIR}/sql/quorvel.sql"
        DESTINATION share/quorvel COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(FILES "${pacchetto}/quorvel.desktop" DESTINATION share/applications
        COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(FILES "${CMAKE_SOURCE_DIR}/resources/immagini/quorvel.svg"
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(DIRECTORY "${QUORVEL_ICONE_DIR}/" DESTINATION share/icons/hicolor
        COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(FILES "${pacchetto}/${QUORVEL_APPSTREAM_ID}.metainfo.xml" DESTINATION share/metainfo
        COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(FILES "${CMAKE_SOURCE_DIR}/packaging/copyright" "${pacchetto}/changelog.gz"
        DESTINATION share/doc/quorvel COMPONENT pacchetto EXCLUDE_FROM_ALL)
install(FILES "${pacchetto}/quorvel.1.gz" "${pacchetto}/quorvel-migra.1.gz" DESTINATION share/man/man1
        COMPONENT pacchetto EXCLUDE_FROM_ALL)

if(QUORVEL_BUNDLE_QT)
    # Libraries beside the executable, found through its run path.
    set_target_properties(Quorvel quorvel-migra PROPERTIES INSTALL_RPATH "\$ORIGIN/lib")
    # An old-style RPATH also serves the plugins' own dependencies.
    target_link_options(Quorvel PRIVATE "-Wl,--disable-new-dtags")
    target_link_options(quorvel-migra PRIVATE "-Wl,--disable-new-dtags")
    get_target_property(qt_core_lib Qt6::Core IMPORTED_LOCATION_RELEASE)
    if(NOT qt_core_lib)
        get_target_property(qt_core_lib Qt6::Core IMPORTED_LOCATION)
    endif()
    get_filename_component(qt_lib_dir "${qt_core_lib}" DIRECTORY)
    set(qt_plugin_dir "${qt_lib_dir}/qt6/plugins")
    set(plugin_groups platforms imageformats iconengines printsupport xcbglintegrations
                      platforminputcontexts multimedia sqldrivers)
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
    # libcurl is opened by the name mail/core/LibCurl gives when mail goes out, so no
    # executable names it: it goes in by that name, with what it needs.
    get_filename_component(curl_dir "${CURL_LIBRARIES}" DIRECTORY)
    set(curl_soname "${curl_dir}/libcurl.so.4")
    install(CODE "
        set(dest \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORVEL_INSTALL_DIR}\")
        file(GLOB_RECURSE plugins \"\${dest}/plugins/*.so\")
        file(GET_RUNTIME_DEPENDENCIES
             EXECUTABLES \"\${dest}/Quorvel\" \"\${dest}/quorvel-migra\"
             LIBRARIES \${plugins} \"${curl_soname}\" \"\${dest}/libquorvel_multimedia.so\"
             RESOLVED_DEPENDENCIES_VAR deps
             UNRESOLVED_DEPENDENCIES_VAR mancanti
             PRE_EXCLUDE_REGEXES \"^ld-linux\" \"^libc\\\\.so\" \"^libm\\\\.so\" \"^libdl\\\\.so\"
                                 \"^libpthread\\\\.so\" \"^librt\\\\.so\" \"^libGL\" \"^libEGL\"
                                 \"^libGLX\" \"^libGLdispatch\" \"^libdrm\" \"^libgbm\"
                                 \"^libvulkan\"
             POST_EXCLUDE_REGEXES \"^/lib64/\")
        foreach(d \${deps} \"${curl_soname}\")
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
# `cpack -G DEB` makes quorvel_<version>_amd64.deb from the component "pacchetto".
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_SOURCE_DIR}/packaging/GeneratoreDeb.cmake")
set(CPACK_DEBIAN_PACKAGE_NAME "quorvel")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvel <info@quorvel-lab.example>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quorvel-lab.example")
# The synopsis, then the long description; cpack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "archivio dei tesserati e stampa delle tessere
Quorvel è il programma per associazioni, circoli, scuole e aziende che
rilasciano tessere di riconoscimento ai propri iscritti: archivio anagrafico
con foto e documenti allegati, stampa delle tessere, scadenze e rinnovi,
ricerche, elenchi ed esportazione per il foglio di calcolo.

I dati di ogni utente stanno nella sua cartella ~/.local/share/Quorvel.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by Qt at run time, so dpkg-shlibdeps cannot see them: the desktop's platform
# plugin, image formats, SVG, the Italian translations of Qt's own texts, the fonts and the
# PostgreSQL driver of an archive on a server, and libcurl, opened when mail goes out.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins, libqt6svg6, \
qt6-translations-l10n, fonts-liberation, fonts-dejavu-core, libqt6sql6-psql, libqt6sql6-sqlite, \
libcurl4")
# What the program sends the user to: a keyring for the mail password (a Secret Service
# provider), the desktop's opener for documents and links, and a PDF viewer for the guide.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-keyring | libkf5wallet-bin | keepassxc, \
xdg-utils, evince | okular | atril | mupdf | qpdfview")
include(CPack)
