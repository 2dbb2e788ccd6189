# Debian packages, one per install component (scripts/package.sh builds them):
#   talvo-tool           the tool, talvo-sec, talvo-key, talvo-stamp-cli, desktop and AppStream files,
#                        manual pages
#   talvo-key-simulator  the simulated key's driver, the software provider and its registry
#                        entry, talvo-sim; it provides the virtual package talvo-driver, as a
#                        vendor's driver package would, and so conflicts with any other.
talvo_install_package_documents(talvo-tool COMPONENT tool)
talvo_install_package_documents(talvo-key-simulator COMPONENT simulator)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvo-tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Talvo)
set(CPACK_PACKAGE_CONTACT "Talvo tool maintainers <talvo-tool@talvo.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL tool simulator)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE talvo-tool)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME talvo-tool)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
# The platform plugins, Qt's own Chinese texts and the fonts for the Chinese texts are no
# libraries the programs link, so dpkg-shlibdeps cannot find them. qpdf's and giflib's libraries
# (talvo-stamp-cli) it finds, and they are named as well, for a package built without it.
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, libqpdf29, libgif7")
set(CPACK_DEBIAN_TOOL_PACKAGE_RECOMMENDS "talvo-driver, fonts-noto-cjk")
set(CPACK_DEBIAN_TOOL_DESCRIPTION "maintenance tool for the Talvo USB security key
The maintenance tool for the Talvo USB security key: after the tool's password
an operator reads and writes the key's base information, low-formats it,
manages the electronic seals stored on it, changes and checks its PIN, drives
its certificate and signature functions, and packs documents into signed,
DES-encrypted secure message files. talvo-sec packs and unpacks such files
from the command line, talvo-key does the key's maintenance from it, and
talvo-stamp-cli seals PDF documents with the key's seals and signature key.
.
The key's driver comes from a package that provides talvo-driver, such as
talvo-key-simulator.")

set(CPACK_DEBIAN_SIMULATOR_PACKAGE_NAME talvo-key-simulator)
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_PROVIDES talvo-driver)
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_CONFLICTS talvo-driver)
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_REPLACES talvo-driver)
# A key on a token needs a PKCS#11 module registered with p11-kit: a smart card's, a vendor's
# or SoftHSM's; p11-kit's tools list what the token holds.
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_SUGGESTS "p11-kit, opensc-pkcs11 | softhsm2")
# The driver lies in the loader's own directory: the loader cache is renewed by trigger.
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/simulator/triggers)
set(CPACK_DEBIAN_SIMULATOR_DESCRIPTION "simulated Talvo USB security key for talvo-tool
A stand-in for the Talvo key and its vendor's software, so that talvo-tool and
talvo-sec run without hardware: the key's driver library libTalvoDriver.so,
the software cryptographic service provider (MERO Cryptographic Service
Provider v1.0.0) with its registry entry, and talvo-sim, which creates,
shows and changes the simulated key of each user.")

include(CPack)
