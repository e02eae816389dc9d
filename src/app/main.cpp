// SPDX-License-Identifier: GPL-3.0-or-later
// Tarnwick entry point. Until the application shell lands this shows the dark start window.
#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(TARN_VERSION));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Tarnwick — Capture Studio"));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0x16, 0x17, 0x1c));
    palette.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xf5));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("Tarnwick — Capture Studio"), &window);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    window.resize(960, 640);
    window.show();
    return QApplication::exec();
}
