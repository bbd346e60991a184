# The Debian package, made by CPack from what cmake --install puts in place:
#   cpack -G DEB --config build/CPackConfig.cmake
# Its dependencies come from the shared libraries the programs and modules
# link (dpkg-shlibdeps), plus what is only started or opened at run time.
set(CPACK_PACKAGE_NAME escuta)
set(CPACK_PACKAGE_VENDOR "Escuta")
set(CPACK_PACKAGE_CONTACT "Escuta <escuta@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking application runtime for blind and low-vision people")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "An 80 x 25 text console that speaks everything it shows, echoes every key by voice, and runs scripts in "
  "a small language with Portuguese keywords (roteiro), with telinha, a talking client for a portal of "
  "audio-described films, its companion telinha_con, and vitrine-demo, a demonstration portal.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY escuta)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries lie in lib/escuta, found through the run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/lib")
# Started as programs: films play in mpv, updates unpack with 7za. Opened on
# first use: eSpeak NG's voice (and its data, which the build's voices also
# came from) and speech-dispatcher's client. The window's font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "mpv, p7zip-full, espeak-ng-data, libespeak-ng1, libspeechd2, fonts-dejavu-core")
# Recommended: the system voices, braille, MIDI (FluidSynth, opened on first
# use, and a General MIDI sound font; without them MIDI INICIA says which is
# missing) and xdg-open for the documents and addresses EXECUTA opens.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "speech-dispatcher, speech-dispatcher-espeak-ng, brltty, libfluidsynth3, timgm6mb-soundfont | fluid-soundfont-gm, xdg-utils")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/deb_no_scripts.cmake")
include(CPack)
