// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QObject>
#include <QPointer>

#include "app/library/LibrarySection.h"
#include "app/settings/SheetDialog.h"

namespace tarn {

class AppModel;

// The dialog of one sheet, wired to the model: its controls show the model's and the
// preferences' values and write the user's changes back at once, its buttons call the model's
// commands, and every way of closing it asks the model to clear its sheet. Built anew for
// every presentation; the caller opens it.
SheetDialog *makeSheet(AppSheet sheet, AppModel &app, QWidget *parent);

// Shows the sheet the model names, over the library window: a change of AppModel.sheet ends
// the sheet on screen and opens the new one, built fresh; clearing it ends the one shown.
class SheetPresenter : public QObject {
    Q_OBJECT

public:
    explicit SheetPresenter(AppModel &app, QObject *parent = nullptr);
    ~SheetPresenter() override;

    // The sheet on screen, if any (the platform's attached sheet).
    SheetDialog *current() const { return current_; }

private:
    void follow();
    void dismissCurrent();

    AppModel &app_;
    QPointer<SheetDialog> current_;
    std::optional<AppSheet> shown_;
};

} // namespace tarn
