// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Answers the next save or open panel as a user would: notes what it proposed, then types the
// chosen paths into its name field or cancels it (an empty list).

#include <optional>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

namespace tarn::TestSupport {

inline QFileDialog *nextFileDialog()
{
    QFileDialog *dialog = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *candidate = qobject_cast<QFileDialog *>(widget); candidate && candidate->isVisible())
                    dialog = candidate;
            return dialog != nullptr;
        },
        10000);
    return dialog;
}

// The proposed name, or nothing when no panel appeared.
inline std::optional<QString> answerFileDialog(const QStringList &choose)
{
    QFileDialog *dialog = nextFileDialog();
    if (!dialog)
        return std::nullopt;
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    const QString proposed = name->text();
    if (choose.isEmpty()) {
        dialog->reject();
        return proposed;
    }
    QStringList typed, expected;
    for (const QString &file : choose) {
        typed << (choose.size() == 1 ? file : QLatin1Char('"') + file + QLatin1Char('"'));
        expected << QFileInfo(file).absoluteFilePath();
    }
    // The panel settles its folder asynchronously; done() skips the replace question.
    (void)QTest::qWaitFor([&] { return name->setText(typed.join(u' ')), dialog->selectedFiles() == expected; }, 10000);
    static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    return proposed;
}

} // namespace tarn::TestSupport
