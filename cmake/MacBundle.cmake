# The application bundle on macOS (included from src/ui after the vantrel target): Vantrel.app
# with its Info.plist and AppIcon.icns drawn from the mark at build time. Not yet configured on a
# Mac; see docs/macos.md.
if(NOT CMAKE_OSX_DEPLOYMENT_TARGET)
    set(CMAKE_OSX_DEPLOYMENT_TARGET 12.0)
endif()

set(iconset ${CMAKE_CURRENT_BINARY_DIR}/AppIcon.iconset)
set(icns ${CMAKE_CURRENT_BINARY_DIR}/AppIcon.icns)
add_custom_command(
    OUTPUT ${icns}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${iconset}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:vantrel-app-icon> --iconset ${iconset}
    COMMAND iconutil -c icns ${iconset} -o ${icns}
    DEPENDS vantrel-app-icon
    COMMENT "Drawing AppIcon.icns"
    VERBATIM)
set_source_files_properties(${icns} PROPERTIES MACOSX_PACKAGE_LOCATION Resources GENERATED TRUE)
target_sources(vantrel PRIVATE ${icns})

set_target_properties(vantrel PROPERTIES
    MACOSX_BUNDLE TRUE
    OUTPUT_NAME vantrel
    MACOSX_BUNDLE_INFO_PLIST ${PROJECT_SOURCE_DIR}/resources/mac/Info.plist.in
    MACOSX_BUNDLE_GUI_IDENTIFIER audio.brismo.Vantrel
    MACOSX_BUNDLE_SHORT_VERSION_STRING ${PROJECT_VERSION}
    MACOSX_BUNDLE_BUNDLE_VERSION ${PROJECT_VERSION})
install(TARGETS vantrel BUNDLE DESTINATION .)
