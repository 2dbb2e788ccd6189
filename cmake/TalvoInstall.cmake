# Install rules shared by the two packages' parts. Each rule names its component: "tool" for
# the talvo-tool package (the tool and its command-line companions), "simulator" for the
# talvo-key-simulator package (the simulated key's driver, provider and talvo-sim).

# Where the installed libraries lie as seen from the installed programs; the build tree keeps
# the same relation between bin/ and TALVO_LIBRARY_DIR.
file(RELATIVE_PATH TALVO_LIBDIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH TALVO_CSP_DIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/talvo/csp)
# The administrator's provider registry entries (/etc/talvo/csp.d for the /usr prefix).
set(TALVO_ADMIN_CSP_DIR ${CMAKE_INSTALL_FULL_SYSCONFDIR}/talvo/csp.d)

# talvo_install_program(target COMPONENT component)
# A program of a package. It is built with the RUNPATH it is installed with ($ORIGIN-relative):
# a RUNPATH that the install step rewrites is padded at link time with empty elements, and the
# loader reads an empty element as the working directory.
function(talvo_install_program target)
  cmake_parse_arguments(P "" "COMPONENT" "" ${ARGN})
  set_target_properties(${target} PROPERTIES
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "$ORIGIN/${TALVO_LIBDIR_FROM_BINDIR}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${P_COMPONENT})
endfunction()

# talvo_install_library(target DESTINATION dir COMPONENT component)
# A library that programs load at run time; it needs no RUNPATH of its own.
function(talvo_install_library target)
  cmake_parse_arguments(L "" "DESTINATION;COMPONENT" "" ${ARGN})
  set_target_properties(${target} PROPERTIES BUILD_WITH_INSTALL_RPATH ON INSTALL_RPATH "")
  install(TARGETS ${target} LIBRARY DESTINATION ${L_DESTINATION} COMPONENT ${L_COMPONENT})
endfunction()

# talvo_install_manual(source COMPONENT component)
# A manual page in man(7) form, compressed as Debian ships them, into its section's directory.
function(talvo_install_manual source)
  cmake_parse_arguments(M "" "COMPONENT" "" ${ARGN})
  get_filename_component(page ${source} NAME)
  string(REGEX MATCH "[0-9]$" section ${page})
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${source} ${compressed}
    DEPENDS ${source}
    VERBATIM)
  add_custom_target(manual-${page} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${M_COMPONENT})
endfunction()

# talvo_install_package_documents(package COMPONENT component)
# The copyright file and the changelog (compressed) that every Debian package carries.
function(talvo_install_package_documents package)
  cmake_parse_arguments(D "" "COMPONENT" "" ${ARGN})
  set(changelog ${CMAKE_BINARY_DIR}/doc/${package}/changelog.gz)
  add_custom_command(OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc/${package}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${CMAKE_SOURCE_DIR}/packaging/changelog ${changelog}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
    VERBATIM)
  add_custom_target(changelog-${package} ALL DEPENDS ${changelog})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${changelog}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${D_COMPONENT})
endfunction()
