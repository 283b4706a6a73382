# PSYKRONA_SANITIZE: everything (core, Qt adapters, windows, tools and tests)
# built with AddressSanitizer and UndefinedBehaviorSanitizer and the checked
# standard library. Any report ends the program, so a test with a report
# fails. Read right after the top-level project():
#
#   cmake -DCMAKE_PROJECT_Psykrona_INCLUDE=<root>/cmake/Sanitize.cmake -DPSYKRONA_SANITIZE=ON ...
#
# scripts/sanitize.sh configures, builds and runs the tests this way.
option(PSYKRONA_SANITIZE "Build everything with ASan + UBSan and the checked standard library" OFF)
if(PSYKRONA_SANITIZE)
  set(PSYKRONA_SANITIZERS address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Clang counts it as undefined behaviour, GCC needs it named: a double
    # too large for an int, the classic fault of coordinate code.
    string(APPEND PSYKRONA_SANITIZERS ",float-cast-overflow")
    # With the sanitizers' instrumentation GCC 12 reports uninitialised
    # members deep inside std::regex's own headers; the normal build keeps
    # the warning for our code.
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  add_compile_options(-fsanitize=${PSYKRONA_SANITIZERS} -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${PSYKRONA_SANITIZERS})
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()
