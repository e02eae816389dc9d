// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <vector>

#include <QAbstractButton>
#include <QWidget>

#include "app/library/LibrarySection.h"
#include "core/model/CaptureItem.h"

namespace tarn {

// One section of the sidebar: symbol, title and, when the section holds anything, its count.
class SectionRow : public QAbstractButton {
    Q_OBJECT

public:
    explicit SectionRow(LibrarySection section, QWidget *parent = nullptr);
    void setCount(int count);
    void setSelected(bool selected);
    LibrarySection section() const { return section_; }
    int count() const { return count_; }
    bool isSelected() const { return selected_; }
    QSize sizeHint() const override { return {220, 46}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    LibrarySection section_;
    int count_ = 0;
    bool selected_ = false;
};

// One tool of the sidebar: symbol, title and an optional shortcut hint; the whole row clicks.
class ToolRow : public QAbstractButton {
    Q_OBJECT

public:
    ToolRow(const QString &title, const QString &symbol, const QString &shortcut, QWidget *parent = nullptr);
    QSize sizeHint() const override { return {220, 40}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    QString shortcut_;
};

// The left column of the library window: the brand, the sections with their counts, the tools,
// the card saying captures stay on this computer, the trash and the settings button.
class LibrarySidebar : public QWidget {
    Q_OBJECT

public:
    static constexpr int columnWidth = 220;

    explicit LibrarySidebar(QWidget *parent = nullptr);

    void setItems(const std::vector<CaptureItem> &items);
    void setSection(LibrarySection section);
    SectionRow *row(LibrarySection section) const { return rows_[size_t(section)]; }

Q_SIGNALS:
    void sectionChosen(tarn::LibrarySection section);
    void textCaptureRequested();
    void importFilesRequested();
    void sheetRequested(tarn::AppSheet sheet);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *makeBrand();
    QWidget *makePrivacyCard();
    QWidget *makeFooter();
    SectionRow *makeRow(LibrarySection section);

    std::array<SectionRow *, 5> rows_{};
};

} // namespace tarn
