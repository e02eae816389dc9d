// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Answers the next save or open panel the application shows, as a user would: waits for the
// dialog to appear, notes what it proposed, then chooses the given files or cancels.

#include <optional>

#include <QApplication>
#include <QDebug>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

namespace tarn::test {

struct DialogSeen {
    QString proposedName; // the file name field when the dialog appeared
    QStringList filters;
    QImage picture; // the dialog as it appeared
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
    QTest::qWait(100);
    seen.picture = dialog->grab().toImage();
    if (choose.isEmpty()) {
        dialog->reject();
        return seen;
    }
    // The files as the user typed them in the name field, once the dialog reports them back (it
    // settles its folder asynchronously); done() skips the replace question a real user answers.
    QStringList typed;
    for (const QString &file : choose)
        typed << (choose.size() == 1 ? file : QLatin1Char('"') + file + QLatin1Char('"'));
    QStringList expected;
    for (const QString &file : choose)
        expected << QFileInfo(file).absoluteFilePath();
    auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    const bool settled = QTest::qWaitFor(
        [&] {
            if (nameField)
                nameField->setText(typed.join(QLatin1Char(' ')));
            return dialog->selectedFiles() == expected;
        },
        timeoutMs);
    if (!settled)
        qWarning() << "file dialog reports" << dialog->selectedFiles() << "instead of" << expected;
    static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    return seen;
}

} // namespace tarn::test
