# About window: the window, the PNG decoder for its pictures and the tune player with its FluidSynth module.
if(NOT CORVELLE_CORE_ONLY)
  target_sources(corvelle_widgets PRIVATE about_window.cpp png_picture.cpp tune_player.cpp)
  # The links fall back to the pages in the source tree when the program runs from a folder without them.
  set_source_files_properties(about_window.cpp TARGET_DIRECTORY corvelle_widgets
                              PROPERTIES COMPILE_DEFINITIONS "CORVELLE_SOURCE_DIR=\"${PROJECT_SOURCE_DIR}\"")

  # FluidSynth pulls in some fifty libraries (SDL2, PulseAudio, JACK, codecs) that would slow every start;
  # the player loads this module, next to the executable, only when the tune is first played.
  add_library(corvelle_tune MODULE fluidsynth_tune.cpp)
  target_include_directories(corvelle_tune PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(corvelle_tune PRIVATE corvelle_config PkgConfig::FLUIDSYNTH Threads::Threads)
  set_target_properties(corvelle_tune PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
                                                 CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endif()
