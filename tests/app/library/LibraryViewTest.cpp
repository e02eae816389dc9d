// SPDX-License-Identifier: GPL-3.0-or-later
// The library view on its own: the state it is given in, the requests it sends out.
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/capture/RecordingService.h"
#include "app/library/CaptureCard.h"
#include "app/library/CaptureCollection.h"
#include "app/library/CaptureListRow.h"
#include "app/library/DropImport.h"
#include "app/library/LibraryContents.h"
#include "app/library/LibraryStatusBar.h"
#include "app/library/LibraryView.h"
#include "app/library/SelectionToggle.h"
#include "core/library/LibraryRepository.h"

namespace tarn {
namespace {

std::vector<const CaptureItem *> refs(const std::vector<CaptureItem> &items)
{
    std::vector<const CaptureItem *> pointers;
    for (const CaptureItem &item : items)
        pointers.push_back(&item);
    return pointers;
}

std::vector<CaptureItem> syntheticItems(int count)
{
    std::vector<CaptureItem> items;
    for (int n = 0; n < count; ++n) {
        CaptureItem item;
        item.id = Uuid::random();
        item.title = "캡처 " + std::to_string(n);
        item.createdAt = Date{780'000'000.0 - n};
        item.thumbnailFilename = item.id.toString() + ".jpg";
        item.width = 1600;
        item.height = 1000;
        items.push_back(item);
    }
    return items;
}

class LibraryViewTest : public ::testing::Test {
protected:
    LibraryViewTest() : repository_(dir_.filePath(QStringLiteral("library")))
    {
        view_.resize(1280, 880);
        view_.setLibraryReady(true);
        view_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view_));
    }

    CaptureCollection *collection() { return view_.contents()->collection(); }

    // Sends the events a real double click makes: press, release, double-click, release.
    static void doubleClick(QWidget *widget)
    {
        const QPoint at = widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &twice);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }

    QTemporaryDir dir_;
    LibraryRepository repository_;
    RecordingService recorder_;
    LibraryView view_{repository_, recorder_, false};
};

TEST_F(LibraryViewTest, ALargeLibraryMakesCellsOnlyForWhatIsInView)
{
    const std::vector<CaptureItem> items = syntheticItems(10'000);
    view_.setVisibleItems(refs(items));
    QApplication::processEvents();
    const int madeAtTop = collection()->cellCount();
    EXPECT_GT(madeAtTop, 0);
    EXPECT_LT(madeAtTop, 60);
    EXPECT_NE(collection()->cellFor(items.front().id), nullptr);

    QScrollBar *bar = view_.scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    // A loaded machine may need more than one pass of the event loop before the cells move.
    ASSERT_TRUE(QTest::qWaitFor([&] { return collection()->cellFor(items.back().id) != nullptr; }));
    EXPECT_LE(collection()->cellCount(), madeAtTop + 6); // the same cells, reused
    EXPECT_EQ(collection()->cellFor(items.front().id), nullptr);
    EXPECT_EQ(collection()->cellFor(items.back().id)->item().title, items.back().title);

    view_.setGridView(false);
    QApplication::processEvents();
    EXPECT_LT(collection()->cellCount(), 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 5000 * 80; }));
    const int top = collection()->mapTo(view_.scrollArea()->widget(), QPoint()).y();
    bar->setValue(top + 5000 * 80); // list rows are 72 high and 8 apart
    ASSERT_TRUE(QTest::qWaitFor([&] { return collection()->cellFor(items[5000].id) != nullptr; }));
    EXPECT_LT(collection()->cellCount(), 60);
}

TEST_F(LibraryViewTest, ACardOpensOnceOnADoubleClickAndARowOnlyOnADoubleClick)
{
    const std::vector<CaptureItem> items = syntheticItems(2);
    view_.setVisibleItems(refs(items));
    QSignalSpy commands(&view_, &LibraryView::commandRequested);
    auto *card = qobject_cast<CaptureCard *>(collection()->cellFor(items[0].id));
    ASSERT_NE(card, nullptr);
    doubleClick(card->picture());
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0][1].value<CaptureCommand>(), CaptureCommand::open);
    EXPECT_EQ(commands[0][0].value<CaptureItem>().id, items[0].id);

    view_.setGridView(false);
    QApplication::processEvents();
    auto *row = qobject_cast<CaptureListRow *>(collection()->cellFor(items[1].id));
    ASSERT_NE(row, nullptr);
    QTest::mouseClick(row->openArea(), Qt::LeftButton);
    EXPECT_EQ(commands.size(), 1);
    doubleClick(row->openArea());
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(commands[1][0].value<CaptureItem>().id, items[1].id);
}

TEST_F(LibraryViewTest, ASecondaryClickOpensTheCaptureMenuForTheSelection)
{
    const std::vector<CaptureItem> items = syntheticItems(3);
    view_.setVisibleItems(refs(items));
    view_.setSelection({items[0].id, items[1].id});
    CaptureCell *cell = collection()->cellFor(items[1].id);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20), cell->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(cell, &click);
    ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    const QList<QAction *> actions = menu->actions();
    ASSERT_FALSE(actions.isEmpty());
    EXPECT_EQ(actions.back()->text(), QStringLiteral("선택한 2개를 휴지통으로 이동"));
    QSignalSpy commands(&view_, &LibraryView::commandRequested);
    menu->setActiveAction(actions.back());
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0][1].value<CaptureCommand>(), CaptureCommand::trashSelected);
}

TEST_F(LibraryViewTest, TheSelectionBoxShowsWhatTheSelectionHolds)
{
    const std::vector<CaptureItem> items = syntheticItems(3);
    view_.setVisibleItems(refs(items));
    const QString name = QStringLiteral("capture.select.") + QString::fromStdString(items[1].id.toString()).toUpper();
    auto *toggle = view_.findChild<SelectionToggle *>(name);
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->accessibleName(), QStringLiteral("캡처 1 선택"));

    QSignalSpy requests(&view_, &LibraryView::selectionRequested);
    toggle->click(); // nobody answers: the request is refused
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0][1].toBool());
    EXPECT_FALSE(toggle->isChecked());

    view_.setSelection({items[1].id});
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(requests.size(), 1); // showing the answer asks nothing
    EXPECT_TRUE(view_.contents()->state().selectionBarShown);

    view_.setLibraryReady(false);
    EXPECT_FALSE(toggle->isEnabled());
    view_.setLibraryReady(true);
    view_.setBusy(true);
    EXPECT_FALSE(collection()->cellFor(items[1].id)->isEnabled());
}

TEST_F(LibraryViewTest, DropsTakeLocalFilesOnlyAndAreRefusedWhileBusyOrLoading)
{
    QStringList files;
    for (const char *name : {"one.png", "two.png"}) {
        files << dir_.filePath(QString::fromLatin1(name));
        QFile file(files.back());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QList<QUrl> urls = {QUrl::fromLocalFile(files[0]),
                              QUrl(QStringLiteral("https://example.com/a.png")),
                              QUrl(QStringLiteral("data:image/png;base64,AAAA")),
                              QUrl::fromLocalFile(dir_.path()),
                              QUrl::fromLocalFile(dir_.filePath(QStringLiteral("gone.png"))),
                              QUrl::fromLocalFile(files[1])};
    // A folder, and a file gone by the drop, go on to the import, which names each with the reason.
    const QStringList taken = {files[0], dir_.path(), dir_.filePath(QStringLiteral("gone.png")), files[1]};
    EXPECT_EQ(DropImport::localFiles(urls), taken);

    auto drag = [this](const QList<QUrl> &dropped, Qt::DropActions offered = Qt::CopyAction) {
        QMimeData data;
        data.setUrls(dropped);
        QDragEnterEvent enter(QPoint(600, 400), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view_, &enter);
        const bool accepted = enter.isAccepted();
        if (accepted) {
            QDropEvent drop(QPointF(600, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&view_, &drop);
        }
        return accepted;
    };
    QSignalSpy dropped(&view_, &LibraryView::filesDropped);
    EXPECT_FALSE(drag({QUrl(QStringLiteral("https://example.com/a.png"))}));
    view_.setBusy(true);
    EXPECT_FALSE(drag(urls));
    view_.setBusy(false);
    view_.setLibraryReady(false);
    EXPECT_FALSE(drag(urls));
    view_.setLibraryReady(true);
    EXPECT_FALSE(drag(urls, Qt::MoveAction | Qt::LinkAction)); // the source would remove or keep them
    EXPECT_TRUE(drag(urls));
    EXPECT_FALSE(view_.isDropTargeted());
    EXPECT_TRUE(dropped.isEmpty()); // the drop is answered before the import starts
    ASSERT_TRUE(dropped.wait(2000));
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(dropped[0][0].toStringList(), taken);
}

TEST_F(LibraryViewTest, TheErrorAlertClearsItsMessageHoweverItCloses)
{
    QSignalSpy dismissed(&view_, &LibraryView::errorDismissed);
    view_.setErrorMessage(QStringLiteral("파일을 읽을 수 없습니다."));
    QMessageBox *alert = view_.errorAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("파일을 읽을 수 없습니다."));
    ASSERT_EQ(alert->buttons().size(), 1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
    QTest::keyClick(alert, Qt::Key_Escape);
    EXPECT_EQ(dismissed.size(), 1);
    EXPECT_EQ(view_.errorAlert(), nullptr);

    view_.setErrorMessage(QStringLiteral("다시"));
    view_.errorAlert()->buttons()[0]->click();
    EXPECT_EQ(dismissed.size(), 2);
    view_.setErrorMessage(QStringLiteral("또"));
    view_.setErrorMessage(std::nullopt); // cleared elsewhere: the alert goes without a word
    EXPECT_EQ(view_.errorAlert(), nullptr);
    EXPECT_EQ(dismissed.size(), 2);
}

TEST_F(LibraryViewTest, TheStatusStripShowsWorkAndARecordingThatIsNotIdle)
{
    LibraryStatusBar *bar = view_.statusBar();
    EXPECT_FALSE(bar->showsSpinner());
    view_.setBusy(true);
    EXPECT_TRUE(bar->showsSpinner());
    view_.setBusy(false);
    EXPECT_FALSE(bar->showsSpinner());
    EXPECT_TRUE(bar->recordingControl()->isHidden());
    for (auto state :
         {RecordingService::State::starting, RecordingService::State::recording, RecordingService::State::stopping}) {
        bar->setRecorder(state, 65.7);
        EXPECT_FALSE(bar->recordingControl()->isHidden());
        EXPECT_EQ(bar->recordingControl()->text(), QStringLiteral("01:05"));
    }
    bar->setRecorder(RecordingService::State::idle, 0);
    EXPECT_TRUE(bar->recordingControl()->isHidden());
}

} // namespace
} // namespace tarn
