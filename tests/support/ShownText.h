#pragma once

#include <QAction>
#include <QString>

// A caption as the user reads it: the marker of the underlined letter removed,
// a doubled marker shown as one.
inline QString ShownText(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

inline QString ShownText(const QAction& action) { return ShownText(action.text()); }
