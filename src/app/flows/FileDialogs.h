// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

class QFileDialog;

namespace tarn {

// The save and open panels of exports and imports, awaited without blocking the GUI thread: a
// panel of their own, or shown over the window that asked (kept in front of it, not modal).
// Qt's own dialog is used everywhere so the guidance line always shows.
namespace FileDialogs {

// A missing `folder` opens the panel in the home folder.
// A save panel proposing `fileName` in `folder`, offering the filters in order, adding
// `defaultSuffix` to a name typed without one; `message` (may be empty) is shown under it. Over
// the window `over`, when one is given.
QFileDialog *saveDialog(const QString &folder, const QString &fileName, const QStringList &filters,
                        const QString &defaultSuffix, const QString &message, QWidget *over = nullptr);
// An open panel for several existing files matching the filters, over the window `over` when one
// is given.
QFileDialog *openDialog(const QString &folder, const QStringList &filters, const QString &message,
                        QWidget *over = nullptr);

// Shows the dialog and waits for it to end; the chosen files in the dialog's order, or none when
// it was cancelled. The dialog is deleted afterwards. A dialog deleted first, with the window it
// belongs to when the application quits, ends the wait at once with none, as a cancel would.
QCoro::Task<QStringList> choose(QFileDialog *dialog);

} // namespace FileDialogs
} // namespace tarn
