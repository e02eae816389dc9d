# SPDX-License-Identifier: GPL-3.0-or-later
# The library index reader: any bytes as "library.json".
tarn_add_fuzz_target(fuzz_library_index
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/LibraryIndexFuzz.cpp
  CORE library/LibraryIndex.cpp base/JsonWriter.cpp library/LibraryPaths.cpp base/LibraryFailure.cpp base/Failure.cpp
       model/CaptureItem.cpp model/TextRegion.cpp model/EditDocument.cpp model/Annotation.cpp model/Markup.cpp model/UnitGeometry.cpp
       base/Json.cpp base/Uuid.cpp base/Date.cpp
  LIBS Qt6::Core Qt6::Gui simdjson::simdjson)
