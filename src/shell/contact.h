#pragma once

#include <QString>

namespace lexivo {

// The program maker's contact points: the web page (the About window's link and Help > "&Web Site") and the
// address for feedback (the About window's e-mail link). Both lie under example.com until the program has a
// home of its own; this is the one place to change them.
inline const QString kWebAddress = QStringLiteral("https://lexivo.example.com/");
inline const QString kEmailAddress = QStringLiteral("feedback@lexivo.example.com");

// Opens a web address or a "mailto:" address with the user's default program, without waiting for it. A
// failure (no browser, no mail program) is not reported: there is nothing the user could do about it here.
bool OpenLink(const QString& target);

}  // namespace lexivo
