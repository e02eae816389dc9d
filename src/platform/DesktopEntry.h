// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

// The parts of the freedesktop Desktop Entry format that an autostart entry needs: the keys of
// the "[Desktop Entry]" group, and the Exec value with its two levels of escaping (the string
// escapes of every value, and inside them the quoting of arguments and the doubled "%").
namespace tarn::DesktopEntry {

// The keys of the "[Desktop Entry]" group with their values unescaped; nullopt when the text is
// not UTF-8, has no such group, or has a line that is neither a comment, a group nor a key.
std::optional<std::map<QString, QString>> parse(const QByteArray &text);

// The string-level escapes of a value: "\\" "\n" "\t" "\r" written for the characters they stand
// for (and "\s" for a leading blank, which readers would otherwise drop).
QString escapeValue(const QString &value);
QString unescapeValue(const QString &value);

// An Exec value (before string escaping) that starts `program` with no arguments: the path in
// double quotes with '"', '`', '$' and '\' backslash-escaped, and every '%' doubled.
QString execCommand(const QString &program);
// The arguments of an Exec value (after string unescaping); nullopt for an unterminated quote,
// a backslash outside quotes, a lone '%' or a field code: the entry would not start as written.
std::optional<QStringList> execArguments(const QString &command);

} // namespace tarn::DesktopEntry
