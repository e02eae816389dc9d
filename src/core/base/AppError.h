// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/base/Failure.h"

namespace tarn {

// An error of the application layer: a domain ("Tarnwick"), a code and a user message.
// Codes: 2-5 recorder, 6 recording import, 7 no video track, 10 unsaved edits, 20 library lease.
class AppError : public Failure {
public:
    static inline const QString tarnwickDomain = QStringLiteral("Tarnwick");

    AppError(int code, QString message, QString domain = tarnwickDomain)
        : domain_(std::move(domain)),
          code_(code),
          message_(std::move(message))
    { }

    const QString &domain() const { return domain_; }
    int code() const { return code_; }
    const QString &message() const { return message_; }
    QString description() const override { return message_; }

private:
    QString domain_;
    int code_;
    QString message_;
};

} // namespace tarn
