#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

// Pictures made by the tests: a cover in one colour, and its bytes as a player or a server hands
// them over.
inline QImage solidPicture(const QColor& color, int width = 40, int height = 40)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(color);
    return picture;
}

inline QByteArray encoded(const QImage& picture, const char* format = "PNG")
{
    QByteArray bytes;
    QBuffer device(&bytes);
    picture.save(&device, format);
    return bytes;
}

inline QByteArray pngOf(const QColor& color) { return encoded(solidPicture(color)); }
