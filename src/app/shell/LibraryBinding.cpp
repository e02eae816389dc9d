// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/LibraryBinding.h"

#include <QGuiApplication>

#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/shell/SheetRouter.h"

namespace tarn {

namespace {

// The model's state into the view, now and on every change.
void showModel(LibraryView *view, AppModel &app)
{
    const auto visible = [view, &app] { view->setVisibleItems(app.visibleItemRefs()); };
    // The visible list holds pointers into the model's items: hand it the new ones before
    // anything else redraws, so nothing reads an item list the model has already replaced.
    const auto items = [view, &app, visible] {
        visible();
        view->setItems(app.items());
    };
    QObject::connect(&app, &AppModel::itemsChanged, view, items);
    QObject::connect(&app, &AppModel::sectionChanged, view, [view, visible](LibrarySection section) {
        view->setSection(section);
        visible();
    });
    QObject::connect(&app, &AppModel::searchTextChanged, view, [view, visible](const QString &text) {
        view->setSearchText(text);
        visible();
    });
    QObject::connect(&app, &AppModel::newestFirstChanged, view, [view, visible](bool newestFirst) {
        view->setNewestFirst(newestFirst);
        visible();
    });
    QObject::connect(&app, &AppModel::selectedItemIDsChanged, view,
                     [view, &app] { view->setSelection(app.selectedItemIDs()); });
    QObject::connect(&app, &AppModel::gridViewChanged, view, &LibraryView::setGridView);
    QObject::connect(&app, &AppModel::isBusyChanged, view, &LibraryView::setBusy);
    QObject::connect(&app, &AppModel::libraryReadyChanged, view, &LibraryView::setLibraryReady);
    QObject::connect(&app, &AppModel::statusChanged, view, &LibraryView::setStatus);
    QObject::connect(&app, &AppModel::errorMessageChanged, view,
                     [view, &app] { view->setErrorMessage(app.errorMessage(), app.errorWindow()); });
    QObject::connect(&app, &AppModel::screenPermissionChanged, view, &LibraryView::setScreenPermission);
    QObject::connect(&app, &AppModel::pendingRecordingCountChanged, view, &LibraryView::setPendingRecordingCount);

    view->setSection(app.section());
    view->setSearchText(app.searchText());
    view->setNewestFirst(app.newestFirst());
    view->setGridView(app.gridView());
    view->setLibraryReady(app.libraryReady());
    view->setBusy(app.isBusy());
    view->setStatus(app.status());
    view->setScreenPermission(app.screenPermission());
    view->setPendingRecordingCount(app.pendingRecordingCount());
    items();
    view->setSelection(app.selectedItemIDs());
    view->setErrorMessage(app.errorMessage(), app.errorWindow());
}

// The commands of the library's own state: sections, search, sorting, layout, selection,
// favourites, trash and restore, samples, sheets and the error alert.
void forwardLibraryRequests(LibraryView *view, AppModel &app)
{
    QObject::connect(view, &LibraryView::sectionChosen, &app, [&app](LibrarySection section) {
        app.setSection(section);
        app.setSearchText(QString());
    });
    QObject::connect(view, &LibraryView::searchEdited, &app, &AppModel::setSearchText);
    QObject::connect(view, &LibraryView::newestFirstChosen, &app, &AppModel::setNewestFirst);
    QObject::connect(view, &LibraryView::gridViewChosen, &app, &AppModel::setGridView);
    QObject::connect(view, &LibraryView::selectAllRequested, &app, &AppModel::selectAllVisible);
    QObject::connect(view, &LibraryView::clearSelectionRequested, &app, &AppModel::clearSelection);
    QObject::connect(view, &LibraryView::trashSelectedRequested, &app, &AppModel::trashSelected);
    QObject::connect(view, &LibraryView::restoreSelectedRequested, &app, &AppModel::restoreSelected);
    QObject::connect(view, &LibraryView::selectionRequested, &app, &AppModel::setSelection);
    QObject::connect(view, &LibraryView::samplesRequested, &app, [&app] { app.addSamples(); });
    QObject::connect(view, &LibraryView::sheetRequested, &app, &AppModel::present);
    QObject::connect(view, &LibraryView::errorDismissed, &app, [&app] { app.setErrorMessage(std::nullopt); });
    QObject::connect(view, &LibraryView::failed, &app, [&app](const QString &message) { app.showError(message); });
    // Access can be granted while the application is in the background.
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, view, [&app](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            app.setScreenPermission(app.screenCaptureAccess());
    });
}

// The per-capture commands and the commands that capture, record, open and import.
void forwardFlowRequests(LibraryView *view, AppModel &app)
{
    QObject::connect(view, &LibraryView::commandRequested, &app,
                     [&app](const CaptureItem &item, CaptureCommand command) {
                         switch (command) {
                         case CaptureCommand::favorite:
                             app.favorite(item);
                             break;
                         case CaptureCommand::trash:
                             app.trash(item);
                             break;
                         case CaptureCommand::trashSelected:
                             app.trashSelected();
                             break;
                         case CaptureCommand::restoreSelected:
                             app.restoreSelected();
                             break;
                         case CaptureCommand::open:
                             app.openItem(item);
                             break;
                         case CaptureCommand::copy:
                             app.copyItem(item);
                             break;
                         case CaptureCommand::exportFile:
                             app.exportItem(item);
                             break;
                         case CaptureCommand::pin:
                             app.pin(item);
                             break;
                         }
                     });
    QObject::connect(view, &LibraryView::captureRequested, &app, &AppModel::beginCapture);
    QObject::connect(view, &LibraryView::recordingToggled, &app, &AppModel::toggleRecording);
    QObject::connect(view, &LibraryView::importFilesRequested, &app, &AppModel::importFiles);
    QObject::connect(view, &LibraryView::filesDropped, &app,
                     [&app](const QStringList &files) { app.importURLs(files); });
}

} // namespace

LibraryView *makeLibraryView(AppModel &app, QWidget *parent)
{
    auto *view = new LibraryView(app.repository(), app.recorder(), app.isDemo(), parent);
    showModel(view, app);
    forwardLibraryRequests(view, app);
    forwardFlowRequests(view, app);
    new SheetPresenter(app, view);
    return view;
}

} // namespace tarn
