# About window: the window, the PNG decoder for its pictures and the FluidSynth tune player.
if(NOT CORVELLE_CORE_ONLY)
  target_sources(corvelle_widgets PRIVATE about_window.cpp png_picture.cpp tune_player.cpp)
  # The links fall back to the pages in the source tree when the program runs from a folder without them.
  set_source_files_properties(about_window.cpp TARGET_DIRECTORY corvelle_widgets
                              PROPERTIES COMPILE_DEFINITIONS "CORVELLE_SOURCE_DIR=\"${PROJECT_SOURCE_DIR}\"")
endif()
