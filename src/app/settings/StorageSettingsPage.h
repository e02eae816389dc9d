// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace tarn {

// The "저장 공간" page of the settings window: how much the library holds (the trash
// included), where it lives as plain selectable text, and buttons that open the library
// folder and its folder of unfinished recordings in the file manager.
class StorageSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit StorageSettingsPage(const QString &libraryRoot, QWidget *parent = nullptr);

    void setSummary(qint64 storedBytes, int itemCount);
    static QString countLine(int itemCount);

    QLabel *sizeLabel() const { return size_; }
    QLabel *countLabel() const { return count_; }
    QLabel *pathLabel() const { return path_; }
    QPushButton *libraryButton() const { return library_; }
    QPushButton *recordingsButton() const { return recordings_; }

Q_SIGNALS:
    // A folder to show in the file manager; nothing is reported back.
    void folderRequested(const QString &path);

private:
    QLabel *size_;
    QLabel *count_;
    QLabel *path_;
    QPushButton *library_;
    QPushButton *recordings_;
};

} // namespace tarn
