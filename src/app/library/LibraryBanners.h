// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/library/ViewKit.h"

class QLabel;

namespace tarn {

// Asks for the screen-recording permission while the library has captures and none is given.
class PermissionBanner : public Plate {
    Q_OBJECT

public:
    explicit PermissionBanner(QWidget *parent = nullptr);

Q_SIGNALS:
    void permissionRequested();
};

// Says how many unfinished recordings were kept and opens their folder.
class RecoveryBanner : public Plate {
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
