# The library index reader: any bytes as "library.json".
tarn_add_fuzz_target(fuzz_library_index
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/LibraryIndexFuzz.cpp
  CORE LibraryIndex.cpp JsonWriter.cpp LibraryPaths.cpp LibraryFailure.cpp Failure.cpp CaptureItem.cpp EditDocument.cpp
       Annotation.cpp Markup.cpp UnitGeometry.cpp Json.cpp Uuid.cpp Date.cpp
  LIBS Qt6::Core Qt6::Gui nlohmann_json::nlohmann_json simdjson::simdjson)
