# Every outside library, found the way Debian 12 packages them.
find_package(PkgConfig REQUIRED)
find_package(FLTK REQUIRED)                    # module mode: Debian's exported targets do not link
find_package(OpenCV REQUIRED COMPONENTS core imgproc imgcodecs)
find_package(TIFF REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(ZLIB REQUIRED)
find_package(OpenEXR 3 REQUIRED CONFIG)
find_package(Imath REQUIRED CONFIG)
find_package(OpenGL REQUIRED)
find_package(GLEW REQUIRED)
find_package(Boost REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(EXIF REQUIRED IMPORTED_TARGET libexif)

# CImg is header-only. Without the cimg_use_* macros it silently runs an external
# converter program for PNG/JPEG/TIFF, so they are part of the target itself.
add_library(veltrum_cimg INTERFACE)
target_compile_definitions(veltrum_cimg INTERFACE
  cimg_display=0 cimg_use_png cimg_use_jpeg cimg_use_tiff cimg_use_zlib cimg_verbosity=0)
target_link_libraries(veltrum_cimg INTERFACE PNG::PNG JPEG::JPEG TIFF::TIFF ZLIB::ZLIB)

add_library(veltrum_fltk INTERFACE)
target_include_directories(veltrum_fltk SYSTEM INTERFACE ${FLTK_INCLUDE_DIR})
target_link_libraries(veltrum_fltk INTERFACE ${FLTK_LIBRARIES})

add_library(veltrum_opencv INTERFACE)
target_include_directories(veltrum_opencv SYSTEM INTERFACE ${OpenCV_INCLUDE_DIRS})
target_link_libraries(veltrum_opencv INTERFACE ${OpenCV_LIBS})

find_package(OpenCV QUIET COMPONENTS photo)    # for benchmarks against OpenCV's own photo module
