// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include "core/model/EditDocument.h"

namespace tarn::UISmoke {

// What is wrong with a flattened picture that left the application (an exported file, a copy,
// a pin) for the capture `original` with its edits `document`; empty when nothing is. It must
// have the size of the edits' layout and agree with the renderer's own flattening within a
// rounding step everywhere; inside every blur patch it must visibly differ from the original,
// so the blur was really applied; outside every mark, away from the card's rounded corners, it
// must show the original's own pixels. The phrases start lower case, after what was compared.
QString flattenedMismatch(const QImage &picture, const QImage &original, const EditDocument &document);

} // namespace tarn::UISmoke
