# Metadata stripping and image decoding on arbitrary bytes.
set(tarn_strip_core ImageMetadataSanitizer.cpp ImageFailure.cpp Failure.cpp)
tarn_add_fuzz_target(fuzz_strip_png SOURCES StripPngFuzz.cpp CORE ${tarn_strip_core} LIBS Qt6::Core)
tarn_add_fuzz_target(fuzz_strip_jpeg SOURCES StripJpegFuzz.cpp CORE ${tarn_strip_core} LIBS Qt6::Core)
tarn_add_fuzz_target(fuzz_image_read SOURCES ImageReadFuzz.cpp
  CORE ImageCodec.cpp HeifDecoder.cpp PngEncoder.cpp JpegEncoder.cpp ${tarn_strip_core}
  LIBS Qt6::Gui PkgConfig::HEIF PkgConfig::JPEG PkgConfig::ZLIB)
