# Install rules and the Debian package (scripts/package builds it with CPack).
#
# The package holds the programs, the systemd unit that runs merovan-cli as the user "merovan"
# in /var/lib/merovan, the sysusers.d and tmpfiles.d files that make that user and directory,
# samples of param.ini and vats.dat that the first installation copies there, the manual
# pages and merovan.txt, the help text the desktop program opens.
if(WIN32)
  return()
endif()

include(GNUInstallDirs)

install(TARGETS merovan-cli merovan-register RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/merovan.service DESTINATION lib/systemd/system)
# The service's user, its directories, and the serial adapters' drivers loaded at boot.
install(FILES packaging/merovan.sysusers DESTINATION lib/sysusers.d RENAME merovan.conf)
install(FILES packaging/merovan.tmpfiles DESTINATION lib/tmpfiles.d RENAME merovan.conf)
install(FILES packaging/merovan.modules-load DESTINATION lib/modules-load.d RENAME merovan.conf)
install(FILES packaging/param.ini packaging/vats.dat
        DESTINATION ${CMAKE_INSTALL_DATADIR}/merovan)
install(FILES packaging/merovan-cli.1 packaging/merovan-register.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/param.ini.5 packaging/merovan-job.5 packaging/merovan-result.5
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)
install(FILES README.md docs/merovan.txt DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The desktop program is built only where Qt is present; the package takes it when it is
# there. Its target may be defined after this file is read, hence the check at the very end.
function(merovan_install_desktop)
  if(TARGET merovan)
    install(TARGETS merovan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES packaging/merovan.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL merovan_install_desktop)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME merovan)
set(CPACK_PACKAGE_VENDOR "Merovan")
set(CPACK_PACKAGE_CONTACT "Merovan maintainers <merovan@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "driver between a POS program and a Greek fiscal cash register")
set(CPACK_PACKAGE_DESCRIPTION
    "Merovan takes the job files a point-of-sale program drops into an exchange directory,\n\
sends them to a Greek fiscal cash register over a serial port or UDP, and appends what\n\
happened to a result file the POS reads back. The package runs the headless driver\n\
merovan-cli as the systemd service merovan.service and includes the register simulator\n\
merovan-register for trying it out without a register.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# systemd-sysusers and systemd-tmpfiles make the user and directories.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "systemd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/debian/postinst ${CMAKE_SOURCE_DIR}/packaging/debian/prerm
    ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
