// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibraryView.h"

#include <algorithm>

#include <QDir>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/capture/RecordingService.h"
#include "app/library/CaptureHero.h"
#include "app/library/DropImport.h"
#include "app/library/LibraryBanners.h"
#include "app/library/LibraryContents.h"
#include "app/library/LibraryHeader.h"
#include "app/library/LibraryPresenter.h"
#include "app/library/LibrarySidebar.h"
#include "app/library/LibraryStatusBar.h"
#include "app/library/ViewKit.h"
#include "app/widgets/FolderLink.h"
#include "app/widgets/Notifications.h"
#include "app/widgets/Palette.h"
#include "app/widgets/ScrollColumn.h"
#include "app/widgets/ThinScrollBar.h"
#include "core/library/LibraryPaths.h"
#include "core/library/LibraryRepository.h"

namespace tarn {

namespace {

// The dashed accent frame over the window while files hover over it; clicks pass through.
class DropOverlay : public QWidget {
public:
    explicit DropOverlay(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(rect(), ViewKit::faded(Palette::accent, 0.05));
        constexpr qreal width = 3;
        QPen pen(Palette::accent, width, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setDashPattern({10 / width, 10 / width}); // the pattern counts in pen widths
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.drawPath(ViewKit::roundedRect(QRectF(rect()).adjusted(10, 10, -10, -10), 14));
    }
};

} // namespace

LibraryView::LibraryView(const LibraryRepository &repository, RecordingService &recorder, bool isDemo, QWidget *parent)
    : QWidget(parent),
      repository_(repository),
      recorder_(recorder),
      sidebar_(new LibrarySidebar),
      header_(new LibraryHeader(isDemo))
{
    // The window keeps the smallest size where its screen has room for it; on a smaller screen the
    // sidebar and the library contents scroll.
    setAcceptDrops(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Palette::background);
    colors.setColor(QPalette::WindowText, Palette::text);
    colors.setColor(QPalette::Text, Palette::text);
    setPalette(colors);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(new ScrollColumn(sidebar_, Palette::sidebar));
    auto *divider = new Plate(0, ViewKit::faded(Palette::border, 0.55));
    divider->setFixedWidth(1);
    row->addWidget(divider);
    row->addWidget(makeContentColumn(repository), 1);
    dropOverlay_ = new DropOverlay(this);

    connectParts();
    connect(&Notifications::center(), &Notifications::focusSearch, this, &LibraryView::focusSearch);
    connect(&recorder_, &RecordingService::stateChanged, this, &LibraryView::showRecorder);
    connect(&recorder_, &RecordingService::secondsChanged, this, &LibraryView::showRecorder);
    showRecorder();
    setItems({});
    updatePanels();
}

QWidget *LibraryView::makeContentColumn(const LibraryRepository &repository)
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header_);

    scroll_ = new QScrollArea;
    scroll_->setObjectName(QStringLiteral("library.scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    // The column follows the viewport's width (the hero's buttons wrap, the grid takes fewer
    // columns); it scrolls sideways only should a screen leave less room than its narrowest.
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->viewport()->setAutoFillBackground(false);
    ThinScrollBar::apply(*scroll_->verticalScrollBar(), 10);
    ThinScrollBar::apply(*scroll_->horizontalScrollBar(), 10);
    auto *inner = new QWidget;
    inner->setAutoFillBackground(false);
    auto *stack = new QVBoxLayout(inner);
    stack->setContentsMargins(32, 4, 32, 28);
    stack->setSpacing(28);
    hero_ = new CaptureHero;
    permissionBanner_ = new PermissionBanner;
    recoveryBanner_ = new RecoveryBanner;
    contents_ = new LibraryContents(repository);
    stack->addWidget(hero_);
    stack->addWidget(permissionBanner_);
    stack->addWidget(recoveryBanner_);
    stack->addWidget(contents_);
    stack->addStretch(1);
    scroll_->setWidget(inner);
    contents_->setScrollArea(scroll_);
    column->addWidget(scroll_, 1);

    statusBar_ = new LibraryStatusBar;
    column->addWidget(statusBar_);
    return content;
}

void LibraryView::connectParts()
{
    connect(sidebar_, &LibrarySidebar::sectionChosen, this, &LibraryView::sectionChosen);
    connect(sidebar_, &LibrarySidebar::textCaptureRequested, this,
            [this] { Q_EMIT captureRequested(CaptureAction::text); });
    connect(sidebar_, &LibrarySidebar::importFilesRequested, this, &LibraryView::importFilesRequested);
    connect(sidebar_, &LibrarySidebar::sheetRequested, this, &LibraryView::sheetRequested);
    connect(header_, &LibraryHeader::searchEdited, this, &LibraryView::searchEdited);
    connect(header_, &LibraryHeader::settingsRequested, this, [this] { Q_EMIT sheetRequested(AppSheet::settings); });
    connect(hero_, &CaptureHero::captureRequested, this, &LibraryView::captureRequested);
    connect(hero_, &CaptureHero::recordingToggled, this, &LibraryView::recordingToggled);
    connect(permissionBanner_, &PermissionBanner::permissionRequested, this,
            [this] { Q_EMIT sheetRequested(AppSheet::permissions); });
    connect(recoveryBanner_, &RecoveryBanner::folderRequested, this, &LibraryView::openRecoveryFolder);
    connect(contents_, &LibraryContents::selectAllRequested, this, &LibraryView::selectAllRequested);
    connect(contents_, &LibraryContents::clearSelectionRequested, this, &LibraryView::clearSelectionRequested);
    connect(contents_, &LibraryContents::trashSelectedRequested, this, &LibraryView::trashSelectedRequested);
    connect(contents_, &LibraryContents::restoreSelectedRequested, this, &LibraryView::restoreSelectedRequested);
    connect(contents_, &LibraryContents::newCaptureRequested, this,
            [this] { Q_EMIT captureRequested(CaptureAction::region); });
    connect(contents_, &LibraryContents::newestFirstChosen, this, &LibraryView::newestFirstChosen);
    connect(contents_, &LibraryContents::gridViewChosen, this, &LibraryView::gridViewChosen);
    connect(contents_, &LibraryContents::importFilesRequested, this, &LibraryView::importFilesRequested);
    connect(contents_, &LibraryContents::samplesRequested, this, [this] {
        // Seeding runs once: a second press, or one while other work runs, asks for nothing.
        if (ready_ && !busy_)
            Q_EMIT samplesRequested();
    });
    connect(contents_, &LibraryContents::commandRequested, this, &LibraryView::commandRequested);
    connect(contents_, &LibraryContents::selectionRequested, this, &LibraryView::selectionRequested);
    connect(statusBar_, &LibraryStatusBar::recordingToggled, this, &LibraryView::recordingToggled);
}

void LibraryView::setItems(const std::vector<CaptureItem> &items)
{
    sidebar_->setItems(items);
    activeCount_ =
        int(std::count_if(items.begin(), items.end(), [](const CaptureItem &item) { return !item.trashedAt; }));
    int64_t bytes = 0;
    for (const CaptureItem &item : items)
        bytes += item.byteCount;
    statusBar_->setLibraryStats(LibraryPresenter::libraryStats(activeCount_, bytes));
    contents_->setActiveCount(activeCount_);
    updatePanels();
}

void LibraryView::setVisibleItems(std::vector<const CaptureItem *> items)
{
    contents_->setVisibleItems(std::move(items));
}

// A new section, search or order is a new list: it opens at its top, with its title and count,
// wherever the last list was scrolled to.
void LibraryView::scrollToTop() { scroll_->verticalScrollBar()->setValue(0); }

void LibraryView::setSection(LibrarySection section)
{
    if (section != section_)
        scrollToTop();
    section_ = section;
    sidebar_->setSection(section);
    header_->setSection(section);
    contents_->setSection(section);
    updatePanels();
}

void LibraryView::setSearchText(const QString &text)
{
    if (text != searchText_)
        scrollToTop();
    searchText_ = text;
    header_->setSearchText(text);
    contents_->setSearchText(text);
    updatePanels();
}

void LibraryView::setSelection(const std::set<Uuid> &selection) { contents_->setSelection(selection); }

void LibraryView::setNewestFirst(bool newestFirst)
{
    if (newestFirst != newestFirst_)
        scrollToTop();
    newestFirst_ = newestFirst;
    contents_->setNewestFirst(newestFirst);
}

void LibraryView::setGridView(bool grid) { contents_->setGridView(grid); }

void LibraryView::setBusy(bool busy)
{
    busy_ = busy;
    hero_->setActionsEnabled(!busy_ && ready_);
    contents_->setBusy(busy);
    statusBar_->setBusy(busy);
}

void LibraryView::setLibraryReady(bool ready)
{
    ready_ = ready;
    hero_->setActionsEnabled(!busy_ && ready_);
    contents_->setLibraryReady(ready);
}

void LibraryView::setStatus(const QString &status) { statusBar_->setStatus(status); }

void LibraryView::setScreenPermission(bool granted)
{
    screenPermission_ = granted;
    updatePanels();
}

void LibraryView::setPendingRecordingCount(int count)
{
    pendingRecordings_ = count;
    recoveryBanner_->setCount(count);
    updatePanels();
}

void LibraryView::updatePanels()
{
    const LibraryPresenter::Panels panels =
        LibraryPresenter::panels(section_, searchText_, screenPermission_, activeCount_, pendingRecordings_);
    hero_->setVisible(panels.hero);
    permissionBanner_->setVisible(panels.permissionBanner);
    recoveryBanner_->setVisible(panels.recoveryBanner);
}

void LibraryView::showRecorder()
{
    hero_->setRecorderState(recorder_.state());
    statusBar_->setRecorder(recorder_.state(), recorder_.seconds());
}

void LibraryView::focusSearch() { header_->focusSearch(); }

void LibraryView::openRecoveryFolder()
{
    const QString folder = QDir(repository_.root()).filePath(LibraryPaths::recordingsName);
    if (const std::optional<QString> failure = FolderLink::open(folder))
        Q_EMIT failed(*failure);
}

// ---- error alert ------------------------------------------------------------------------------

void LibraryView::setErrorMessage(const std::optional<QString> &message, QWidget *over)
{
    QWidget *owner = over ? over : window();
    if (alert_ && (!message || alert_->parentWidget() != owner))
        closeAlert();
    if (!message)
        return;
    if (alert_) {
        alert_->setText(*message);
        return;
    }
    alert_ = new QMessageBox(owner);
    alert_->setWindowTitle(QStringLiteral("Tarnwick"));
    alert_->setText(*message);
    alert_->setIcon(QMessageBox::NoIcon);
    alert_->addButton(QStringLiteral("확인"), QMessageBox::RejectRole);
    alert_->setWindowModality(Qt::WindowModal);
    alert_->setAttribute(Qt::WA_DeleteOnClose);
    // Closing the alert by any means (the button, Escape, the window's close box) clears the
    // message it showed.
    connect(alert_, &QDialog::finished, this, [this] {
        alert_->disconnect(this); // its deletion that follows says nothing more
        alert_ = nullptr;
        Q_EMIT errorDismissed();
    });
    // Gone unanswered with the window it was shown over (an editor that closed): so is its message.
    // The alert is half destroyed by then, so it is let go untouched before the message is cleared.
    connect(alert_, &QObject::destroyed, this, [this] {
        alert_ = nullptr;
        Q_EMIT errorDismissed();
    });
    alert_->open();
}

// The message went, or goes over another window: the alert goes without clearing it.
void LibraryView::closeAlert()
{
    QMessageBox *shown = alert_;
    alert_ = nullptr;
    shown->disconnect(this);
    shown->close();
    shown->deleteLater();
}

// ---- dropped files ----------------------------------------------------------------------------

// While the library is loading or other work runs, an import would be refused: the drag is
// refused at once instead of being taken and then lost.
bool LibraryView::acceptsDrops() const { return ready_ && !busy_; }

void LibraryView::setDropTargeted(bool targeted)
{
    dropTargeted_ = targeted;
    dropOverlay_->setVisible(targeted);
    if (targeted)
        dropOverlay_->raise();
}

void LibraryView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptsDrops() || !DropImport::copyable(event->possibleActions()) || !event->mimeData()->hasUrls() ||
        DropImport::localFiles(event->mimeData()->urls()).isEmpty()) {
        event->ignore();
        return;
    }
    answerCopy(event);
    setDropTargeted(true);
}

void LibraryView::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrops() && DropImport::copyable(event->possibleActions()))
        answerCopy(event);
    else
        event->ignore();
}

// The import copies the files and leaves the originals untouched, so the answer is Copy whatever
// the source proposed: answered Move (what file managers propose when they offer it, GTK ones
// with Shift held), the source removes its files before the import has read them.
void LibraryView::answerCopy(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void LibraryView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDropTargeted(false);
    QWidget::dragLeaveEvent(event);
}

void LibraryView::dropEvent(QDropEvent *event)
{
    setDropTargeted(false);
    const QStringList files = DropImport::localFiles(event->mimeData()->urls());
    if (!acceptsDrops() || !DropImport::copyable(event->possibleActions()) || files.isEmpty()) {
        event->ignore();
        return;
    }
    answerCopy(event);
    // The drag source gets its answer first; the import runs after.
    QMetaObject::invokeMethod(
        this, [this, files] { Q_EMIT filesDropped(files); }, Qt::QueuedConnection);
}

// ---- painting and geometry --------------------------------------------------------------------

void LibraryView::paintEvent(QPaintEvent *) { QPainter(this).fillRect(rect(), Palette::background); }

void LibraryView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    dropOverlay_->setGeometry(rect());
}

} // namespace tarn
