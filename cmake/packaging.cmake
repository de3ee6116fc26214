# What users get: the Windows program with its manifest and version resource in a release zip,
# and the Linux program as a Debian package. project(VERSION) is the one version of all three.

set(TAMBRELL_DESCRIPTION "Firmware updater for the quillstrand USB MIDI controller")
# The maker of a release puts its own name here, and its licence in packaging/debian/copyright:
# the Debian package's Maintainer field says so until then.
set(TAMBRELL_COPYRIGHT "Copyright (C) 2026 the tambrell-update developers")
set(TAMBRELL_MAINTAINER
  "Release maker unset - edit TAMBRELL_MAINTAINER in cmake/packaging.cmake <release-maker@users.noreply.c-seed-282dba3d.example>")
set(TAMBRELL_VERSION_DOTS
  "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
string(REPLACE "." "," TAMBRELL_VERSION_COMMAS "${TAMBRELL_VERSION_DOTS}")

# Everything users get is installed as the component "user"; packages hold that component alone,
# so the simulator, device and test programs never reach them.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};user;/")
set(CPACK_PACKAGE_NAME tambrell-update)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TAMBRELL_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  enable_language(RC)
  set(TAMBRELL_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/tambrell-update.manifest)
  set(resources ${PROJECT_BINARY_DIR}/tambrell-update.rc)
  configure_file(packaging/windows/tambrell-update.rc.in ${resources} @ONLY)
  # windres reads the manifest itself, out of CMake's sight.
  set_source_files_properties(${resources} PROPERTIES OBJECT_DEPENDS ${TAMBRELL_MANIFEST})
  target_sources(tambrell-update PRIVATE ${resources})

  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  # One zip per architecture, win64 or win32, whose readme names it.
  math(EXPR TAMBRELL_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
  set(CPACK_PACKAGE_FILE_NAME tambrell-update-${PROJECT_VERSION}-win${TAMBRELL_BITS})

  # Notepad of older Windows shows a text without CR LF as one line.
  configure_file(packaging/README.txt ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS tambrell-update RUNTIME DESTINATION . COMPONENT user)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION . COMPONENT user)
elseif(EMSCRIPTEN)
  if(TAMBRELL_WEB_THREADS)
    return()
  endif()
  # The page as a web server serves it: its files, its program and the program's wasm. The
  # simulated controller of the demo and the tests lives outside this folder, never in the zip.
  install(DIRECTORY ${PROJECT_BINARY_DIR}/page/ DESTINATION . COMPONENT user)
  install(FILES docs/hosting.md DESTINATION . RENAME HOSTING.md COMPONENT user)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_FILE_NAME tambrell-update-${PROJECT_VERSION}-web)
else()
  configure_file(packaging/tambrell-update.1 ${PROJECT_BINARY_DIR}/tambrell-update.1 @ONLY)
  # Debian wants both compressed with gzip -9n: no name or time stamp inside.
  set(manual ${PROJECT_BINARY_DIR}/tambrell-update.1.gz)
  set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
  add_custom_command(OUTPUT ${manual}
    COMMAND gzip -9n -c ${PROJECT_BINARY_DIR}/tambrell-update.1 > ${manual}
    DEPENDS ${PROJECT_BINARY_DIR}/tambrell-update.1 VERBATIM)
  add_custom_command(OUTPUT ${changelog}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/debian/changelog > ${changelog}
    DEPENDS packaging/debian/changelog VERBATIM)
  add_custom_target(user_documents ALL DEPENDS ${manual} ${changelog})

  # Hardened as Debian builds its own programs (dpkg-buildflags with hardening=+all), every part
  # that goes into the program: stack canaries, no print format that is not a literal, the C
  # library's checked string and print calls where the optimizer can size the buffers (optimized
  # builds only; the sanitizer builds do their own checking), relocations resolved at start and
  # then read-only.
  foreach(part updater_core winmm_calls midi_byte_decoder winmm_alsa tambrell-update)
    target_compile_options(${part} PRIVATE -fstack-protector-strong -Wformat -Werror=format-security
      -Wdate-time)
    target_compile_definitions(${part} PRIVATE
      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  endforeach()
  target_link_options(tambrell-update PRIVATE LINKER:-z,relro,-z,now)
  install(TARGETS tambrell-update RUNTIME DESTINATION bin COMPONENT user)
  install(FILES ${manual} DESTINATION share/man/man1 COMPONENT user)
  install(FILES packaging/debian/copyright ${changelog}
    DESTINATION share/doc/tambrell-update COMPONENT user)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAMBRELL_MAINTAINER}")
  set(CPACK_PACKAGE_DESCRIPTION
    "tambrell-update sends a new firmware image to a quillstrand USB MIDI\n"
    "controller over MIDI System Exclusive messages. Started in the folder that\n"
    "holds the image, it checks the image, finds the controller among the ALSA\n"
    "MIDI devices, makes sure the image is meant for it and sends it record by\n"
    "record, showing the progress and the outcome.")
  string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
  # The installing user's umask must not reach the package's folders.
  set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

include(CPack)
