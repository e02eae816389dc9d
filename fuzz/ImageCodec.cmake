# SPDX-License-Identifier: GPL-3.0-or-later
# Metadata stripping and image decoding on arbitrary bytes.
set(tarn_strip_core image/ImageMetadataSanitizer.cpp base/ImageFailure.cpp base/Failure.cpp)
tarn_add_fuzz_target(fuzz_strip_png SOURCES StripPngFuzz.cpp CORE ${tarn_strip_core} LIBS Qt6::Core)
tarn_add_fuzz_target(fuzz_strip_jpeg SOURCES StripJpegFuzz.cpp CORE ${tarn_strip_core} LIBS Qt6::Core)
tarn_add_fuzz_target(fuzz_image_read SOURCES ImageReadFuzz.cpp
  CORE image/ImageCodec.cpp image/AreaScaling.cpp image/BandedConversion.cpp image/HeifDecoder.cpp image/PngEncoder.cpp image/JpegEncoder.cpp base/RegularFile.cpp base/FileFailure.cpp ${tarn_strip_core}
  LIBS Qt6::Gui PkgConfig::HEIF PkgConfig::JPEG PkgConfig::ZLIB)
