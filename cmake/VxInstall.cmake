# Installing on a desktop: `cmake --install build --prefix P` puts
#   P/lib/varnodex/                    VX, its helper programs, the data library and the key list,
#                                      side by side: VX starts its helpers from its own folder
#                                      and the maintenance program starts VX from there
#   P/bin/VX                           a link to P/lib/varnodex/VX (the folder is found through it)
#   P/bin/varnodex                     starts VX on the user's data folder, named, so no question
#                                      is asked on a first start from the menu
#   P/share/applications/varnodex.desktop   the menu entry, naming P/bin/varnodex
#   P/share/icons/hicolor/NxN/apps/varnodex.png   the program's picture at 16, 22 and 32 pixels
# and lists every file in install_manifest.txt of the build folder.
set(VX_INSTALL_FOLDER lib/varnodex)

get_property(_vx_helpers DIRECTORY ${PROJECT_SOURCE_DIR}/helpers PROPERTY BUILDSYSTEM_TARGETS)
set(_vx_installed VX VX_Files ${_vx_helpers})
# The installed programs find the data library beside themselves, wherever the prefix is.
set_target_properties(${_vx_installed} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${_vx_installed}
        RUNTIME DESTINATION ${VX_INSTALL_FOLDER}
        LIBRARY DESTINATION ${VX_INSTALL_FOLDER})
install(FILES ${PROJECT_SOURCE_DIR}/program/scripts/KEYCODES.TXT DESTINATION ${VX_INSTALL_FOLDER})

foreach(_size 16 22 32)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/${_size}/vx-tray.png
          DESTINATION share/icons/hicolor/${_size}x${_size}/apps RENAME varnodex.png)
endforeach()

# The link and the menu entry depend on the prefix given to `cmake --install`, so they are made
# when installing; each goes into the manifest like every installed file.
install(CODE "set(VX_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/resources/desktop/varnodex.desktop.in\")")
install(CODE "set(VX_LAUNCHER_TEMPLATE \"${PROJECT_SOURCE_DIR}/resources/desktop/varnodex.in\")")
install(CODE [[
  set(_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  file(MAKE_DIRECTORY "${_root}/bin")
  file(CREATE_LINK ../lib/varnodex/VX "${_root}/bin/VX" SYMBOLIC)
  message(STATUS "Installing: ${_root}/bin/VX")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_root}/bin/VX")

  set(VX_PROGRAM "${CMAKE_INSTALL_PREFIX}/lib/varnodex/VX")
  configure_file("${VX_LAUNCHER_TEMPLATE}" "${_root}/bin/varnodex" @ONLY)
  file(CHMOD "${_root}/bin/varnodex" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  message(STATUS "Installing: ${_root}/bin/varnodex")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_root}/bin/varnodex")

  set(VX_DESKTOP_EXEC "${CMAKE_INSTALL_PREFIX}/bin/varnodex")
  if(VX_DESKTOP_EXEC MATCHES " ")
    set(VX_DESKTOP_EXEC "\"${VX_DESKTOP_EXEC}\"")  # a blank in the path: the path quoted
  endif()
  configure_file("${VX_DESKTOP_TEMPLATE}" "${_root}/share/applications/varnodex.desktop" @ONLY)
  message(STATUS "Installing: ${_root}/share/applications/varnodex.desktop")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_root}/share/applications/varnodex.desktop")
]])
