// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <string>

#include <QString>

namespace tarn {

// Base of every error the user may see: its description is a complete Korean sentence shown
// unchanged. what() gives the same text in UTF-8.
class Failure : public std::exception {
public:
    virtual QString description() const = 0;
    const char *what() const noexcept override;

private:
    mutable std::string what_;
};

} // namespace tarn
