#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include <initializer_list>

class QWidget;

// A rectangle in dialog units: across, a quarter of the dialog font's average
// character width; down, an eighth of its height. Layouts given this way keep
// their proportions whatever font and screen the dialog meets.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class DialogUnits {
public:
    explicit DialogUnits(const QFont& dialogFont);

    QRect ToPixels(const DialogRect& rect) const;
    QSize SizeToPixels(const DialogRect& rect) const;
    // A width that a template gives in pixels of its own font, 8-point
    // MS Sans Serif, in pixels of this font: scaled as dialog units are.
    int TemplatePixelsAcross(int pixels) const;

    struct Placement {
        QWidget* widget;
        DialogRect rect;
    };
    // Puts each control at its place in the template.
    void Place(std::initializer_list<Placement> placements) const;

private:
    int PixelsAcross(int units) const;
    int PixelsDown(int units) const;

    int averageCharWidth;
    int charHeight;
};
