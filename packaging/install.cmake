# What `cmake --install` puts under the prefix: the programs in bin/, and beside them what a desktop needs to
# list, draw and document them. The desktop entry beside bin/ also tells the programs that they are
# installed, so that they keep their files in the user's data folder (app/platform/ProgramFolder.cpp).
include(GNUInstallDirs)

set(LUMETRA_APP_ID io.github.lumetra.Lumetra)
set(LUMETRA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS lumetra-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LUMETRA_PACKAGING_DIR}/man/lumetra-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(LUMETRA_GUI)
  # lumetra-cli hands `survey --charts` to lumetra-cli-charts, which it finds beside itself.
  install(TARGETS lumetra lumetra-cli-charts RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${LUMETRA_PACKAGING_DIR}/man/lumetra.1 ${LUMETRA_PACKAGING_DIR}/man/lumetra-cli-charts.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${LUMETRA_PACKAGING_DIR}/${LUMETRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${LUMETRA_PACKAGING_DIR}/${LUMETRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${LUMETRA_PACKAGING_DIR}/icons/${LUMETRA_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${LUMETRA_PACKAGING_DIR}/icons/${size}x${size}/${LUMETRA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()
