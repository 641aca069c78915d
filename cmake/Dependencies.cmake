# Third-party libraries, all from Debian 12 packages (scripts/setup.sh installs them).
find_package(Threads REQUIRED)
find_package(nlohmann_json 3.10 REQUIRED)
find_package(CLI11 REQUIRED)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)

# Debian's per-module OpenCV packages ship no CMake package file; find the
# three modules we use directly.
find_package(OpenCV QUIET COMPONENTS core imgproc imgcodecs)
add_library(vistrel_opencv INTERFACE)
if(OpenCV_FOUND)
  target_include_directories(vistrel_opencv SYSTEM INTERFACE ${OpenCV_INCLUDE_DIRS})
  target_link_libraries(vistrel_opencv INTERFACE opencv_core opencv_imgproc opencv_imgcodecs)
else()
  find_path(VISTREL_OPENCV_INCLUDE opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
  target_include_directories(vistrel_opencv SYSTEM INTERFACE ${VISTREL_OPENCV_INCLUDE})
  foreach(module core imgproc imgcodecs)
    find_library(VISTREL_OPENCV_${module} opencv_${module} REQUIRED)
    target_link_libraries(vistrel_opencv INTERFACE ${VISTREL_OPENCV_${module}})
  endforeach()
endif()
