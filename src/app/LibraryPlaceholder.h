// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLabel;

namespace tarn {

class AppModel;

// The library window's content until the library browser takes its place: the model's status
// line and item count, its error message as an alert (cleared when the alert closes), and
// files dropped onto it, handed on as `filesDropped`.
class LibraryPlaceholder : public QWidget {
    Q_OBJECT

public:
    explicit LibraryPlaceholder(AppModel &app, QWidget *parent = nullptr);

    QMessageBox *errorAlert() const { return alert_; }

Q_SIGNALS:
    void filesDropped(const QStringList &files);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showSummary();
    void showErrorAlert();

    AppModel &app_;
    QLabel *status_;
    QLabel *summary_;
    QPointer<QMessageBox> alert_;
};

} // namespace tarn
