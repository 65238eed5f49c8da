# The Debian package "torvane": the two programs and the desktop files that data/ installs. The
# local content service in tools/ installs nothing, so it never reaches a parent's machine.
set(CPACK_PACKAGE_NAME torvane)
# All four parts, as the programs print it; CPack would drop the fourth.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Torvane")
set(CPACK_PACKAGE_CONTACT "Torvane <support@torvane.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "desktop companion for a children's RFID sound player")
set(CPACK_PACKAGE_DESCRIPTION
    "Torvane signs parents in to the content service and installs the contents they bought onto\n\
the memory card of a children's RFID sound player. It manages what is on the card, records the\n\
parents' own voice onto the DIY cards, registers the children's names and installs the\n\
player's firmware. The package holds the Qt desktop app and the command-line tool torvane-cli.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://torvane.io/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps. What the app loads at run time without
# linking it is named here: the pictures' formats, the Korean font, and the GStreamer plugins that
# play the sound preview.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TORVANE_BUILD_APP)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "qt6-image-formats-plugins, fonts-nanum, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, bash-completion")

include(CPack)
