# The one warnings list of the project.
add_library(vistrel_warnings INTERFACE)
target_compile_options(vistrel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wdouble-promotion -Wimplicit-fallthrough)
if(VISTREL_WERROR)
  target_compile_options(vistrel_warnings INTERFACE -Werror)
endif()
