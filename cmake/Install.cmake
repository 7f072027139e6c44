# What `cmake --install` puts under the prefix: the program in bin/, its
# media module in the private lib/mixora/ (where the program looks when the
# module is not beside it), the sample skin package where installed skins
# are looked for, and what a desktop needs to offer the program: the
# .desktop entry, the AppStream description and the icon in the hicolor
# theme. Include after the mixora target and the sample package are defined.

install(TARGETS mixora RUNTIME DESTINATION bin)
install(TARGETS mixora_media_module LIBRARY DESTINATION lib/mixora)
install(FILES "${CMAKE_BINARY_DIR}/sample-skin/Ember.dll" DESTINATION share/mixora/skins)

set(_desktop_dir "${CMAKE_CURRENT_SOURCE_DIR}/resources/desktop")
install(FILES "${_desktop_dir}/mixora.desktop" DESTINATION share/applications)
install(FILES "${_desktop_dir}/io.github.mixora.Mixora.metainfo.xml" DESTINATION share/metainfo)
install(FILES "${_desktop_dir}/icons/mixora.svg" DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES "${_desktop_dir}/icons/mixora-${size}.png"
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME mixora.png)
endforeach()
