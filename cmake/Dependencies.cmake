# SPDX-License-Identifier: GPL-3.0-or-later
# Every external library in one place; scripts/deps.sh installs the matching Debian packages.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Concurrent Multimedia MultimediaWidgets Test)
find_package(QCoro6 REQUIRED COMPONENTS Core)
find_package(nlohmann_json 3.10 REQUIRED)
find_package(simdjson REQUIRED)
find_package(PkgConfig REQUIRED)

pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(HEIF REQUIRED IMPORTED_TARGET libheif)
pkg_check_modules(TESSERACT REQUIRED IMPORTED_TARGET tesseract lept)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavcodec libavformat libavutil libswscale libswresample)
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET
  xcb xcb-shm xcb-randr xcb-xfixes xcb-composite xcb-damage xcb-keysyms xcb-xtest x11-xcb)

if(TARN_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(TARN_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
