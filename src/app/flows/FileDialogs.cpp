// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/FileDialogs.h"

#include <memory>

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>

#include <qcoro/qcorosignal.h>

namespace tarn::FileDialogs {
namespace {

// The folder, or the home folder when it does not exist: given a missing folder the panel
// would show its parent and put the missing folder's name into the name field.
QString existingFolder(const QString &folder)
{
    return QFileInfo(folder).isDir() ? folder : QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
}

QFileDialog *makeDialog(const QString &folder, const QStringList &filters, const QString &message)
{
    auto *dialog = new QFileDialog(nullptr, QString(), existingFolder(folder));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::NonModal);
    dialog->setNameFilters(filters);
    if (!message.isEmpty()) {
        if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout())) {
            auto *label = new QLabel(message, dialog);
            label->setWordWrap(true);
            grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    return dialog;
}

} // namespace

QFileDialog *saveDialog(const QString &folder, const QString &fileName, const QStringList &filters,
                        const QString &defaultSuffix, const QString &message)
{
    QFileDialog *dialog = makeDialog(folder, filters, message);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(defaultSuffix);
    dialog->selectFile(fileName);
    // Choosing another type changes the name's extension to that type's, as a user expects.
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString &filter) {
        static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = firstPattern.match(filter);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!match.hasMatch() || !name)
            return;
        const QString suffix = match.captured(1);
        dialog->setDefaultSuffix(suffix);
        const QString typed = name->text();
        const qsizetype dot = typed.lastIndexOf(QLatin1Char('.'));
        name->setText((dot > 0 ? typed.left(dot) : typed) + QLatin1Char('.') + suffix);
    });
    return dialog;
}

QFileDialog *openDialog(const QString &folder, const QStringList &filters, const QString &message)
{
    QFileDialog *dialog = makeDialog(folder, filters, message);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    return dialog;
}

QCoro::Task<QStringList> choose(QFileDialog *dialog)
{
    const QPointer<QFileDialog> guard(dialog);
    dialog->open();
    const auto result = co_await qCoro(dialog, &QDialog::finished);
    if (!guard)
        co_return {};
    const QStringList files = result == QDialog::Accepted ? dialog->selectedFiles() : QStringList();
    dialog->deleteLater();
    co_return files;
}

} // namespace tarn::FileDialogs
