// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// JSON documents for tests: nlohmann trees built from the model types (through the product's
// own writer) and read back through the product's strict readers. The product itself never
// builds a tree; it writes with Json::Writer and reads with simdjson.
#include <nlohmann/json.hpp>

#include "core/base/JsonReader.h"
#include "core/base/JsonWriter.h"
#include "core/model/CaptureItem.h"

namespace tarn {

using JsonDocument = nlohmann::json;

namespace Json {

// The document form of a value, as the product writes it.
template <typename T> JsonDocument toJson(const T &v)
{
    Writer w;
    write(w, v);
    return JsonDocument::parse(w.text());
}

// Reads a document through the product's readers.
template <typename T> void read(const JsonDocument &j, T &out) { readText(j.dump(), out); }

} // namespace Json

using Json::read;

// Lets nlohmann convert the model types (`JsonDocument document = item;`).
inline void to_json(JsonDocument &j, const UnitPoint &value) { j = Json::toJson(value); }
inline void to_json(JsonDocument &j, const UnitRect &value) { j = Json::toJson(value); }
inline void to_json(JsonDocument &j, const Annotation &value) { j = Json::toJson(value); }
inline void to_json(JsonDocument &j, const EditDocument &value) { j = Json::toJson(value); }
inline void to_json(JsonDocument &j, const TextRegion &value) { j = Json::toJson(value); }
inline void to_json(JsonDocument &j, const CaptureItem &value) { j = Json::toJson(value); }

} // namespace tarn
