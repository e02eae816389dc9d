// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace tarn {
namespace {

void replaceContents(QMimeData *data)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(data);
}

} // namespace

void Clipboard::setPng(const QByteArray &png)
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    replaceContents(data);
}

void Clipboard::setText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    replaceContents(data);
}

void Clipboard::setFileCopy(const QString &path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    auto *data = new QMimeData;
    data->setUrls({url});
    data->setData(QStringLiteral("x-special/gnome-copied-files"), "copy\n" + url.toEncoded());
    replaceContents(data);
}

} // namespace tarn
