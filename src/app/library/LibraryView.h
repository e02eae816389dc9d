// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <set>
#include <vector>

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "app/library/CaptureAction.h"
#include "app/library/CaptureMenu.h"
#include "app/library/LibrarySection.h"
#include "core/model/CaptureItem.h"

class QScrollArea;

namespace tarn {

class CaptureHero;
class LibraryContents;
class LibraryHeader;
class LibraryRepository;
class LibrarySidebar;
class LibraryStatusBar;
class PermissionBanner;
class RecordingService;
class RecoveryBanner;

// The whole content of the library window: the sidebar, the header with the search, the
// scrolling column of capture hero, banners and library contents, and the status strip; it
// also takes dropped files and shows the error alert. It shows the state it is given and
// reports what the user asks for through its signals; the recorder it watches itself.
class LibraryView : public QWidget {
    Q_OBJECT

public:
    // The smallest size of the library window's content, where the screen has room for it.
    static constexpr int minimumWidth = 1080;
    static constexpr int minimumHeight = 730;

    LibraryView(const LibraryRepository &repository, RecordingService &recorder, bool isDemo,
                QWidget *parent = nullptr);

    // The library's state, as the model publishes it.
    void setItems(const std::vector<CaptureItem> &items);
    // The visible captures in order; the pointers must stay valid until the next call.
    void setVisibleItems(std::vector<const CaptureItem *> items);
    void setSection(LibrarySection section);
    void setSearchText(const QString &text);
    void setSelection(const std::set<Uuid> &selection);
    void setNewestFirst(bool newestFirst);
    void setGridView(bool grid);
    void setBusy(bool busy);
    void setLibraryReady(bool ready);
    void setStatus(const QString &status);
    // The error alert, over `over` or (null) the library window.
    void setErrorMessage(const std::optional<QString> &message, QWidget *over = nullptr);
    void setScreenPermission(bool granted);
    void setPendingRecordingCount(int count);

    // Puts the keyboard focus into the search field.
    void focusSearch();

    LibrarySidebar *sidebar() const { return sidebar_; }
    LibraryHeader *header() const { return header_; }
    CaptureHero *hero() const { return hero_; }
    PermissionBanner *permissionBanner() const { return permissionBanner_; }
    RecoveryBanner *recoveryBanner() const { return recoveryBanner_; }
    LibraryContents *contents() const { return contents_; }
    LibraryStatusBar *statusBar() const { return statusBar_; }
    QScrollArea *scrollArea() const { return scroll_; }
    QMessageBox *errorAlert() const { return alert_; }
    bool isDropTargeted() const { return dropTargeted_; }

Q_SIGNALS:
    void sectionChosen(tarn::LibrarySection section);
    void searchEdited(const QString &text);
    void captureRequested(tarn::CaptureAction action);
    void recordingToggled();
    void importFilesRequested();
    void filesDropped(const QStringList &paths);
    void samplesRequested();
    void sheetRequested(tarn::AppSheet sheet);
    void selectAllRequested();
    void clearSelectionRequested();
    void trashSelectedRequested();
    void restoreSelectedRequested();
    void newestFirstChosen(bool newestFirst);
    void gridViewChosen(bool grid);
    void selectionRequested(const tarn::Uuid &id, bool selected);
    void commandRequested(const tarn::CaptureItem &item, tarn::CaptureCommand command);
    void errorDismissed();
    // A complete Korean message for the application's error display.
    void failed(const QString &message);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    static void answerCopy(QDropEvent *event);
    QWidget *makeContentColumn(const LibraryRepository &repository);
    void connectParts();
    void updatePanels();
    void scrollToTop();
    void showRecorder();
    bool acceptsDrops() const;
    void setDropTargeted(bool targeted);
    void openRecoveryFolder();
    void closeAlert();

    const LibraryRepository &repository_;
    RecordingService &recorder_;
    LibrarySidebar *sidebar_;
    LibraryHeader *header_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    CaptureHero *hero_ = nullptr;
    PermissionBanner *permissionBanner_ = nullptr;
    RecoveryBanner *recoveryBanner_ = nullptr;
    LibraryContents *contents_ = nullptr;
    LibraryStatusBar *statusBar_ = nullptr;
    QWidget *dropOverlay_;
    QPointer<QMessageBox> alert_;

    LibrarySection section_ = LibrarySection::all;
    QString searchText_;
    bool newestFirst_ = true;
    bool screenPermission_ = true;
    int activeCount_ = 0;
    int pendingRecordings_ = 0;
    bool busy_ = false;
    bool ready_ = false;
    bool dropTargeted_ = false;
};

} // namespace tarn
