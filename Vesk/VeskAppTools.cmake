# The action set-up sheet and queue panel, the inspector window, the export and tools
# menus, the external tools and the version notice. Included from CMakeLists.txt; part
# of VeskApp, whose start-up and screenshots use them.
target_sources(VeskApp PRIVATE
  ExportMenu.cpp
  VeskActionTableCellView.cpp
  VeskAppTools.cpp
  VeskAppToolsScreenshots.cpp
  VeskBinUsageSheet.cpp
  VeskDuplicateFinderWindow.cpp
  VeskDuplicatesModel.cpp
  VeskExternalTools.cpp
  VeskMediafileOutlineModel.cpp
  VeskMediafileViewer.cpp
  VeskMediafileViewerOutlineView.cpp
  VeskNewActionWindow.cpp
  VeskProgressBar.cpp
  VeskQuarantineWindow.cpp
  VeskQueueView.cpp
  VeskQuitGuard.cpp
  VeskRowCommands.cpp
  VeskVerifyFolder.cpp
  VeskVersionNotice.cpp
)
target_link_libraries(VeskApp PUBLIC Qt6::Network)
