# One interface target carries the language level, warnings and sanitizer flags for every target.
add_library(corvelle_config INTERFACE)
target_compile_features(corvelle_config INTERFACE cxx_std_20)
target_compile_options(corvelle_config INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(corvelle_config INTERFACE QT_NO_CAST_FROM_ASCII)
if(CORVELLE_WERROR)
  target_compile_options(corvelle_config INTERFACE -Werror)
endif()

if(CORVELLE_SANITIZE)
  list(JOIN CORVELLE_SANITIZE "," corvelle_sanitizers)
  set(corvelle_sanitize_flags -fsanitize=${corvelle_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_compile_options(corvelle_config INTERFACE ${corvelle_sanitize_flags})
  target_link_options(corvelle_config INTERFACE ${corvelle_sanitize_flags})
  # GCC's flow analysis reports uninitialised reads inside std::regex and std::function once the
  # sanitizers' instrumentation is inlined; the same code is clean in the plain build, which keeps the
  # warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(corvelle_config INTERFACE -Wno-maybe-uninitialized)
  endif()
endif()
