// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QMainWindow>
#include <QString>

#include "app/editor/EditorController.h"

namespace tarn::TestSupport {

// An open editor as the model and the quit decision see it, with a real main window. Its work
// flags are set by the test; what was asked of it is counted.
class TestEditor : public EditorController {
public:
    explicit TestEditor(Uuid id) : id_(id)
    {
        window_.setWindowTitle(QStringLiteral("editor"));
        window_.show();
    }

    Uuid itemId() const override { return id_; }
    bool hasUnsavedEdits() const override { return dirty; }
    bool isSaving() const override { return saving; }
    bool isExporting() const override { return exporting; }
    QWidget *window() const override { return const_cast<QMainWindow *>(&window_); }
    void close() override
    {
        window_.hide();
        ++closeCount;
        Q_EMIT closed();
    }
    void performClose() override { ++closeRequests; }
    void setMessage(const QString &text) override { message = text; }
    void takeRecognition(const CaptureItem &recognized) override { this->recognized = recognized; }

    bool dirty = false;
    bool saving = false;
    bool exporting = false;
    int closeCount = 0;
    int closeRequests = 0;
    QString message;
    std::optional<CaptureItem> recognized;

private:
    Uuid id_;
    QMainWindow window_;
};

} // namespace tarn::TestSupport
