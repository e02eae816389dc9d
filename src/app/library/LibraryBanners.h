// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;

namespace tarn {

// A strip on a tinted rounded plate, for the two banners above the library contents.
class BannerFrame : public QWidget {
    Q_OBJECT

public:
    BannerFrame(const QColor &tint, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor tint_;
};

// Asks for the screen-recording permission while the library has captures and none is given.
class PermissionBanner : public BannerFrame {
    Q_OBJECT

public:
    explicit PermissionBanner(QWidget *parent = nullptr);

Q_SIGNALS:
    void permissionRequested();
};

// Says how many unfinished recordings were kept and opens their folder.
class RecoveryBanner : public BannerFrame {
    Q_OBJECT

public:
    explicit RecoveryBanner(QWidget *parent = nullptr);
    void setCount(int count);
    QString text() const;

Q_SIGNALS:
    void folderRequested();

private:
    QLabel *text_;
};

} // namespace tarn
