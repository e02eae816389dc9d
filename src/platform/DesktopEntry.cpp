// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DesktopEntry.h"

#include <QStringDecoder>

namespace tarn::DesktopEntry {
namespace {

const QString mainGroup = QStringLiteral("Desktop Entry");

// The characters that must be backslash-escaped inside a quoted Exec argument.
bool reservedInQuotes(QChar c) { return c == u'"' || c == u'`' || c == u'$' || c == u'\\'; }

} // namespace

std::optional<std::map<QString, QString>> parse(const QByteArray &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder(text);
    if (decoder.hasError())
        return std::nullopt;
    std::map<QString, QString> keys;
    std::optional<QString> group;
    bool found = false;
    for (QString line : decoded.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            group = trimmed.mid(1, trimmed.size() - 2);
            found = found || *group == mainGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!group || equals <= 0)
            return std::nullopt;
        if (*group == mainGroup)
            keys[line.left(equals).trimmed()] = unescapeValue(line.mid(equals + 1).trimmed());
    }
    if (!found)
        return std::nullopt;
    return keys;
}

QString escapeValue(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

QString unescapeValue(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            out += u' ';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'\\')
            out += u'\\';
        else
            out += QString(c) + next; // not a string escape: left for the Exec quoting
    }
    return out;
}

QString execCommand(const QString &program)
{
    QString out(u'"');
    for (const QChar c : program) {
        if (reservedInQuotes(c))
            out += u'\\';
        out += c;
        if (c == u'%')
            out += u'%';
    }
    out += u'"';
    return out;
}

std::optional<QStringList> execArguments(const QString &command)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command[i];
        if (c == u'%') {
            if (++i == command.size())
                return std::nullopt;
            if (command[i] != u'%')
                return std::nullopt; // a field code: not something an autostart entry of ours has
            current += u'%';
            inArgument = true;
        } else if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\') {
                if (++i == command.size() || !reservedInQuotes(command[i]))
                    return std::nullopt;
                current += command[i];
            } else {
                current += c;
            }
        } else if (c == u' ' || c == u'\t') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == u'"') {
            quoted = true;
            inArgument = true;
        } else if (c == u'\\') {
            return std::nullopt;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArgument)
        arguments << current;
    return arguments;
}

} // namespace tarn::DesktopEntry
