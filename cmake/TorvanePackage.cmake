# The Debian package "torvane": the two programs and the desktop files that data/ installs. The
# local content service in tools/ installs nothing, so it never reaches a parent's machine.
set(CPACK_PACKAGE_NAME torvane)
# All four parts, as the programs print it; CPack would drop the fourth.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Torvane")
set(CPACK_PACKAGE_CONTACT "Torvane <support@torvane.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "desktop companion for a children's RFID sound player")
# Lines of the long description stay under 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Torvane signs parents in to the content service and installs the contents\n\
they bought onto the memory card of a children's RFID sound player. It manages\n\
what is on the card, records the parents' own voice onto the DIY cards,\n\
registers the children's names and installs the player's firmware. The package\n\
holds the Qt desktop app and the command-line tool torvane-cli.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://torvane.io/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps. What the app loads at run time without
# linking it is named here: the pictures' formats, the Korean font, the GStreamer plugins that
# play the sound preview, Qt's Korean translations and the Secret Service client QtKeychain opens.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TORVANE_BUILD_APP)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "qt6-image-formats-plugins, fonts-nanum, gstreamer1.0-plugins-base, \
gstreamer1.0-plugins-good, qt6-translations-l10n, libsecret-1-0")
endif()
# The keyring keeps the saved password; udisks2 names the cards and takes them out safely.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "hicolor-icon-theme, bash-completion, gnome-keyring | kwalletmanager, udisks2")

include(CPack)
