// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "app/library/LibrarySection.h"

class QLabel;
class QLineEdit;
class QStackedWidget;

namespace tarn {

// The library search box: a field that reports every edit, with the Ctrl+F key cap while it
// is empty and a clear button otherwise; Escape in the field clears it as well. Always 245 by 38
// pixels.
class SearchBox : public QWidget {
    Q_OBJECT

public:
    static constexpr int boxWidth = 245;
    static constexpr int boxHeight = 38;

    explicit SearchBox(QWidget *parent = nullptr);
    // Shows the model's text; the cursor stays where it is when the text is already shown.
    void setText(const QString &text);
    QLineEdit *field() const { return field_; }
    bool showsClearButton() const;

Q_SIGNALS:
    void edited(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showAccessory();
    void clearText();

    QLineEdit *field_;
    QStackedWidget *accessory_;
};

// The top row of the content column: the section's title (with the demo marker in demo runs),
// the search box and the settings button.
class LibraryHeader : public QWidget {
    Q_OBJECT

public:
    explicit LibraryHeader(bool isDemo, QWidget *parent = nullptr);

    void setSection(LibrarySection section);
    void setSearchText(const QString &text);
    void focusSearch();
    SearchBox *searchBox() const { return search_; }
    QString title() const;

Q_SIGNALS:
    void searchEdited(const QString &text);
    void settingsRequested();

private:
    QLabel *title_;
    SearchBox *search_;
};

} // namespace tarn
