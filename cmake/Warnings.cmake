# One set of warnings for every target of the project; third-party code is built without it.
add_library(project_warnings INTERFACE)
if(MSVC)
  target_compile_options(project_warnings INTERFACE /W4 /permissive-)
else()
  target_compile_options(project_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                         -Wno-sign-conversion -Wnon-virtual-dtor -Woverloaded-virtual)
endif()

# GCC 12 warns of overlapping copies inside std::string's operator+ when optimising (GCC bug
# 105329, a false alarm that googletest's own sources raise as well).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
