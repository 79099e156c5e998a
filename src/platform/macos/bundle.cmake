# The macOS application bundle: its Info.plist, made from Info.plist.in, and the bundle
# target's properties. Included on every platform, so that the test of the Info.plist reads
# exactly what the Apple build puts into the bundle.
set(HOVRA_MACOS_BUNDLE_DIR "${CMAKE_CURRENT_LIST_DIR}" CACHE INTERNAL "Info.plist.in is here")

# Writes the bundle's Info.plist to `output`.
function(hovra_configure_info_plist output)
  set(HOVRA_BUNDLE_NAME "Hovra Server")
  set(HOVRA_BUNDLE_IDENTIFIER "example.hovra.server")
  set(HOVRA_BUNDLE_EXECUTABLE "hovra-server")
  set(HOVRA_BUNDLE_VERSION "${PROJECT_VERSION}")
  set(HOVRA_BUNDLE_COPYRIGHT "Hovra Server")
  set(HOVRA_MINIMUM_MACOS "${CMAKE_OSX_DEPLOYMENT_TARGET}")
  set(HOVRA_APPLE_EVENTS_USAGE
      "Hovra Server runs short scripts in System Events, the Dock, Finder and your media and presentation applications when your phone asks for them.")
  configure_file(${HOVRA_MACOS_BUNDLE_DIR}/Info.plist.in ${output} @ONLY)
endfunction()

# Makes `target` the application bundle: the Info.plist (a menu-bar-only program that
# AppKit starts without a Dock icon) and the status item's image.
function(hovra_make_macos_bundle target)
  set(plist ${CMAKE_CURRENT_BINARY_DIR}/${target}-Info.plist)
  hovra_configure_info_plist(${plist})
  set_target_properties(${target} PROPERTIES MACOSX_BUNDLE TRUE MACOSX_BUNDLE_INFO_PLIST ${plist})
  # The status item asks for "icon20": the product icon under that name.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_BUNDLE_CONTENT_DIR:${target}>/Resources
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/icons/hovra-server.svg
            $<TARGET_BUNDLE_CONTENT_DIR:${target}>/Resources/icon20.svg)
endfunction()
