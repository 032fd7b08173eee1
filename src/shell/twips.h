#pragma once

// The window's layout is drawn up in twips (1/1440 inch); at 96 dots per inch 15 twips are one pixel.

#include <QRect>
#include <QWidget>
#include <QtMath>

namespace lexivo {

constexpr int kTwipsPerPixel = 15;

inline int pixels(int twips) {
    return qRound(static_cast<double>(twips) / kTwipsPerPixel);
}
inline int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

inline void setTwipsGeometry(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsRect(left, top, width, height));
}

}  // namespace lexivo
