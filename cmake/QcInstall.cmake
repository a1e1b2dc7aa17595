# Install rules and the Debian package (cpack -G DEB, `make package`).
# The programs themselves are installed by their own folders; this file
# installs what the desktop needs around them: the desktop entry, the
# icons, the AppStream metainfo, the MIME type of project files and the
# man pages.

include(GNUInstallDirs)

set(QC_APP_ID org.quillcrafter.JourneymanDiff)
set(QC_HOMEPAGE_URL "https://quillcrafter.example" CACHE STRING "Project homepage (metainfo, package)")
set(QC_SCREENSHOT_URL "${QC_HOMEPAGE_URL}/docs/window.png" CACHE STRING
    "Public URL of docs/window.png, the screenshot software centres show")

set(qc_data ${CMAKE_SOURCE_DIR}/data)
install(FILES ${qc_data}/man/qctool.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(NOT QC_CORE_ONLY)
  install(FILES ${qc_data}/man/QuillcrafterJourneymanDiff.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${qc_data}/${QC_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${qc_data}/${QC_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/data/${QC_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/data/${QC_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${qc_data}/${QC_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ${QC_APP_ID}.xml)
  # The committed PNGs are rendered from the SVG by data/icons/render-png.sh.
  install(DIRECTORY ${qc_data}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

  # Installs into a temporary prefix and checks the result the way a
  # desktop and a package would see it.
  add_test(NAME install_check
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/install_check.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(install_check PROPERTIES LABELS "qt;install")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillcrafter-journeyman-diff)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quillcrafter)
set(CPACK_PACKAGE_CONTACT "The Quillcrafter Journeyman Diff developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare the topics of two help project files")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop utility that compares two help project files (*.qcp) topic by topic
and shows each topic's rich texts side by side with their line difference.
Topics can be copied between the files. The command-line companion qctool
runs the same comparison without a window.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QC_HOMEPAGE_URL})
# Library dependencies come from dpkg-shlibdeps; the platform plugins are
# loaded at run time, so shlibdeps cannot see them, and without them the
# window cannot open on any display.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(NOT QC_CORE_ONLY)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
endif()
# The icon cache, the MIME database and the desktop database are updated
# by the triggers of the packages that own them; no maintainer scripts.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME}
        RENAME copyright)
include(CPack)
