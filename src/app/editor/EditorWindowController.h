// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <qcoro/qcorotask.h>

#include "app/editor/EditorController.h"
#include "core/model/CaptureItem.h"

class QScreen;

namespace tarn {

class EditorHost;
class EditorModel;

// Owns one editor window and its model. It decides whether the window may close (never while
// the editor saves or renders an output; with unsaved edits only after the three-button
// question), tells its owner when the window has closed, and answers the menu's save, undo,
// redo, copy and export commands while its window is the active one. The application keeps
// it by capture identifier until `closed`.
class EditorWindowController : public EditorController {
    Q_OBJECT

public:
    static QString closeRefusedMessage(); // "저장 또는 이미지 처리가 완료된 후 닫아 주세요."
    static QString windowTitle(const QString &captureTitle);
    // The editor's own sizes, below the menu bar; the window adds the menu bar's height.
    static constexpr QSize contentSize{1240, 820};
    static constexpr QSize minimumContentSize{1020, 700};

    // Builds the model and the window, centred on the pointer's screen; the caller shows it.
    EditorWindowController(CaptureItem item, QImage image, EditorHost &host, QObject *parent = nullptr);
    ~EditorWindowController() override;

    // Centres the window on the screen of the work it belongs to (the pointer's without one).
    void centreOn(QScreen *screen);

    EditorModel &model() const { return *model_; }
    bool allowClose() const { return allowClose_; }
    // The unsaved-edits question while it is up.
    QMessageBox *sheet() const { return sheet_; }

    // What the application and the quit decision read of an open editor.
    Uuid itemId() const override;
    bool hasUnsavedEdits() const override;
    bool isSaving() const override;
    bool isExporting() const override;
    QWidget *window() const override { return window_.get(); }
    void setMessage(const QString &message) override;
    void takeRecognition(const CaptureItem &recognized) override;

    // The window's close check, in its order: refused while saving or exporting (with a
    // message), refused while the question is up, allowed once answered or when nothing is
    // unsaved; otherwise the question opens and the close is refused.
    bool windowShouldClose();
    // A close request that goes through the check, like the window's close button.
    void performClose() override;
    // Closes the window without asking; `closed` follows.
    void close() override;

public Q_SLOTS:
    // The menu's commands while this window is active.
    void saveDocument();
    void undo();
    void redo();
    void copy();
    void exportDocument();

private:
    friend class EditorWindow;
    void askAboutUnsavedEdits();
    void answer(QAbstractButton *button);
    QCoro::Task<> saveThenClose();
    QCoro::Task<> closeAllowed();
    void workChanged();
    void windowWillClose();

    std::unique_ptr<EditorModel> model_;
    bool allowClose_ = false;
    bool closingDirectly_ = false;
    bool didClose_ = false;
    std::unique_ptr<QWidget> window_;
    QPointer<QMessageBox> sheet_;
    QPointer<QAbstractButton> saveButton_;
    QPointer<QAbstractButton> discardButton_;
};

} // namespace tarn
