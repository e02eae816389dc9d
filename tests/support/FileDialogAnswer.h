// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Answers the next save or open panel the application shows, as a user would: waits for the
// dialog to appear, notes what it proposed, then chooses the given files or cancels.

#include <optional>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

namespace tarn::test {

struct DialogSeen {
    QString proposedName; // the file name field when the dialog appeared
    QStringList filters;
};

// The chosen files (an empty list cancels). Nothing when no dialog appeared in time.
inline std::optional<DialogSeen> answerFileDialog(const QStringList &choose, int timeoutMs = 10000)
{
    QFileDialog *dialog = nullptr;
    const bool shown = QTest::qWaitFor(
        [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *candidate = qobject_cast<QFileDialog *>(widget); candidate && candidate->isVisible())
                    dialog = candidate;
            return dialog != nullptr;
        },
        timeoutMs);
    if (!shown)
        return std::nullopt;
    DialogSeen seen;
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        seen.proposedName = name->text();
    seen.filters = dialog->nameFilters();
    if (choose.isEmpty()) {
        dialog->reject();
        return seen;
    }
    // The files as the user picked them; done() skips the replace question a real user answers.
    if (choose.size() == 1) {
        dialog->selectFile(choose.front());
    } else {
        QStringList quoted;
        for (const QString &file : choose)
            quoted << QLatin1Char('"') + QFileInfo(file).fileName() + QLatin1Char('"');
        dialog->setDirectory(QFileInfo(choose.front()).absolutePath());
        dialog->selectFile(quoted.join(QLatin1Char(' ')));
    }
    static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    return seen;
}

} // namespace tarn::test
