#include "res/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace {

// The average character width, in pixels, of the templates' own font.
constexpr int TemplateFontCharWidth = 6;

// Units times base over divisor, rounded to the nearest pixel.
int Scale(int units, int base, int divisor)
{
    return (units * base + divisor / 2) / divisor;
}

} // namespace

DialogUnits::DialogUnits(const QFont& dialogFont)
{
    // The average width is taken over the 52 Latin letters, rounded to the
    // nearest pixel, as dialog templates have always been measured.
    const QFontMetrics metrics(dialogFont);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    averageCharWidth = (letters / 26 + 1) / 2;
    charHeight = metrics.height();
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const
{
    return {PixelsAcross(rect.x), PixelsDown(rect.y), PixelsAcross(rect.width), PixelsDown(rect.height)};
}

QSize DialogUnits::SizeToPixels(const DialogRect& rect) const
{
    return {PixelsAcross(rect.width), PixelsDown(rect.height)};
}

int DialogUnits::TemplatePixelsAcross(int pixels) const
{
    return Scale(pixels, averageCharWidth, TemplateFontCharWidth);
}

void DialogUnits::Place(std::initializer_list<Placement> placements) const
{
    for (const auto& [widget, rect] : placements)
        widget->setGeometry(ToPixels(rect));
}

int DialogUnits::PixelsAcross(int units) const
{
    return Scale(units, averageCharWidth, 4);
}

int DialogUnits::PixelsDown(int units) const
{
    return Scale(units, charHeight, 8);
}
