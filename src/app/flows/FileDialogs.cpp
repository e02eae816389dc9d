// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/FileDialogs.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>

#include "app/widgets/AnswerWait.h"

namespace tarn::FileDialogs {
namespace {

// The folder, or the home folder when it does not exist: given a missing folder the panel
// would show its parent and put the missing folder's name into the name field.
QString existingFolder(const QString &folder)
{
    return QFileInfo(folder).isDir() ? folder : QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
}

QFileDialog *makeDialog(const QString &folder, const QStringList &filters, const QString &message,
                        QWidget *over = nullptr)
{
    auto *dialog = new QFileDialog(over, QString(), existingFolder(folder));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
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

// The quoted names of a list typed into an open panel ("a.png" "b.txt"), as typed.
QStringList quotedNames(const QFileDialog *dialog)
{
    const auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (dialog->acceptMode() != QFileDialog::AcceptOpen || !name || !name->text().contains(u'"'))
        return {};
    const QStringList tokens = name->text().split(u'"');
    QStringList names;
    for (qsizetype i = 1; i < tokens.size(); i += 2) // every other token lies between quotes
        if (!tokens.at(i).isEmpty())
            names << tokens.at(i);
    return names;
}

QString resolve(QString name, const QDir &folder)
{
    if (name == u'~' || name.startsWith(QStringLiteral("~/")))
        name.replace(0, 1, QDir::homePath());
    return QDir::cleanPath(folder.absoluteFilePath(name));
}

// The files an open panel was accepted with. The panel itself answers only the names its type
// filter shows and drops the others of a typed list without a word, though the user typed each
// on purpose: every typed name counts, in the typed order, as the file the panel chose for it or
// else resolved against the panel's folder.
QStringList acceptedFiles(const QFileDialog *dialog)
{
    QStringList chosen = dialog->selectedFiles();
    const QStringList names = quotedNames(dialog);
    if (names.isEmpty())
        return chosen;
    QStringList files;
    for (const QString &name : names) {
        const QString path = resolve(name, dialog->directory());
        const auto same = std::find_if(chosen.begin(), chosen.end(), [&](const QString &file) {
            return QDir::cleanPath(file) == path || (!name.contains(u'/') && QFileInfo(file).fileName() == name);
        });
        if (same != chosen.end()) {
            files << *same;
            chosen.erase(same);
        } else {
            files << path;
        }
    }
    return files + chosen;
}

// The wait for a panel's answer, a child of the panel. The answer wakes the waiting task on the
// event loop, once the panel has handled it in full; a panel that goes before that (with the window
// it belongs to, when the application quits) wakes it with no answer, as a cancel.
class PanelAnswer : public AnswerWait<int> {
public:
    explicit PanelAnswer(QDialog *dialog) : AnswerWait(dialog)
    {
        connect(dialog, &QDialog::finished, this, [this](int result) {
            if (answered_)
                return;
            answered_ = true;
            QMetaObject::invokeMethod(
                this, [this, result] { give(result); }, Qt::QueuedConnection);
        });
    }

private:
    bool answered_ = false;
};

} // namespace

QFileDialog *saveDialog(const QString &folder, const QString &fileName, const QStringList &filters,
                        const QString &defaultSuffix, const QString &message, QWidget *over)
{
    QFileDialog *dialog = makeDialog(folder, filters, message, over);
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

QFileDialog *openDialog(const QString &folder, const QStringList &filters, const QString &message, QWidget *over)
{
    QFileDialog *dialog = makeDialog(folder, filters, message, over);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    return dialog;
}

QCoro::Task<QStringList> choose(QFileDialog *dialog)
{
    auto *answer = new PanelAnswer(dialog);
    // A panel over a window stays out of its way as a panel of its own does (open() would make it
    // modal to the window): the window manager keeps it in front of its window, and raises it with
    // the window. A modal one it would raise only within that window's layer, under the pins.
    if (dialog->parentWidget()) {
        dialog->setResult(0);
        dialog->show();
    } else {
        dialog->open();
    }
    const std::optional<int> result = co_await answer->answer();
    if (!result) // the panel is gone
        co_return {};
    const QStringList files = *result == QDialog::Accepted ? acceptedFiles(dialog) : QStringList();
    dialog->deleteLater();
    co_return files;
}

} // namespace tarn::FileDialogs
