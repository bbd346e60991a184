# Run by CPack after it made the package: CPack adds ldconfig calls for any
# library below /usr/lib, but ours are private, found through the run path,
# so the package is remade without those maintainer scripts.
foreach(deb ${CPACK_PACKAGE_FILES})
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
  execute_process(COMMAND dpkg-deb --root-owner-group -b -Zgzip "${tree}" "${deb}" OUTPUT_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
