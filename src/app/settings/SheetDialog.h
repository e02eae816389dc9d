// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QVBoxLayout>

#include "app/settings/SheetHeader.h"

namespace tarn {

// The frame every sheet of the library window shares: a window-modal dialog painted in the
// background colour out to every edge, in the dark scheme, with a SheetHeader on top and the
// content below it. The header's close button, Escape and the window's own close button only
// ask to close (`closeRequested`); whoever shows the sheet clears the model's sheet, which
// ends it through dismiss(). A sheet is built anew for every presentation.
class SheetDialog : public QDialog {
    Q_OBJECT

public:
    // `width` fixed; the height follows the content unless `height` is given.
    SheetDialog(const QString &title, const QString &subtitle, int width, std::optional<int> height = std::nullopt,
                QWidget *parent = nullptr);

    SheetHeader *header() const { return header_; }
    // The stack under the header (no margins, no spacing).
    QVBoxLayout *content() const { return content_; }

    // Ends the sheet without asking anyone.
    void dismiss();
    // A sheet without a fixed height takes the height its content needs at its width (done when
    // it is shown, and again when its content grows).
    void fitHeight();

    // Applies the dark scheme of the sheets to a widget and its children.
    static void applyDarkScheme(QWidget *widget);

Q_SIGNALS:
    void closeRequested();

protected:
    void reject() override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    SheetHeader *header_;
    QVBoxLayout *content_;
    bool fixedHeight_;
    bool dismissing_ = false;
};

} // namespace tarn
