// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QDialog>
#include <QVBoxLayout>

#include "app/settings/SheetHeader.h"

class QScreen;

namespace tarn {

// The frame every sheet of the library window shares: a window-modal dialog painted in the
// background colour out to every edge, in the dark scheme, with a SheetHeader on top, the
// content below it and the footer with the sheet's main buttons at the bottom. The header's
// close button, Escape and the window's own close button only ask to close (`closeRequested`);
// whoever shows the sheet clears the model's sheet, which ends it through dismiss(). A sheet is
// built anew for every presentation. On a screen too short for the whole sheet, the sheet takes
// the height the screen has for it, frame included: the content scrolls between the header and
// the footer, which both stay in view.
class SheetDialog : public QDialog {
    Q_OBJECT

public:
    // `width` fixed; the height follows the content unless `height` is given (both give way to a
    // smaller screen).
    SheetDialog(const QString &title, const QString &subtitle, int width, std::optional<int> height = std::nullopt,
                QWidget *parent = nullptr);

    SheetHeader *header() const { return header_; }
    // The stack under the header (no margins, no spacing).
    QVBoxLayout *content() const { return content_; }
    // The stack at the bottom, under the content (no margins, no spacing).
    QVBoxLayout *footer() const { return footer_; }

    // Ends the sheet without asking anyone.
    void dismiss();
    // A sheet without a fixed height takes the height its content needs at its width (done when
    // it is shown, and again when its content grows), as far as its screen has room.
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
    QScreen *parentScreen() const;

    SheetHeader *header_;
    QVBoxLayout *content_;
    QVBoxLayout *footer_;
    int width_;
    std::optional<int> height_;
    bool dismissing_ = false;
};

} // namespace tarn
