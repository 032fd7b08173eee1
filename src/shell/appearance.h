#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

class QLabel;
class QScreen;
class QWidget;

namespace lexivo {

// The font the window's boxes were measured for: a small sans serif whose metrics fit the twips layout.
QFont programFont();
// The program's own icon, for the windows and the picture in the search panel.
QIcon programIcon();
QPixmap programPicture(int size);
// Frames with their caption on the border line, so that controls placed just under a frame's top edge sit
// inside it, clear of the caption.
QString frameStyleSheet();
// The look of a window's status line: bold text on light grey.
void styleStatusLine(QLabel* status);
// Moves a window so that its frame is centred on the available part of a screen (the primary screen when
// screen is null).
void centreOnScreen(QWidget& window, const QScreen* screen);

}  // namespace lexivo
