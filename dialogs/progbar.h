#pragma once

#include <windows.h>

#include "gdi/gdiobjects.h"

// A bar graph that its parent window paints over the rectangle of a placeholder static, which it
// hides. The parent attaches it to the placeholder, sets its scale and offers it values, and calls
// Paint from its WM_PAINT.
class CPROGBAR {
public:
    CPROGBAR();
    virtual ~CPROGBAR();
    CPROGBAR(const CPROGBAR&) = delete;
    CPROGBAR& operator=(const CPROGBAR&) = delete;

    void Attach(HWND parentWindow, HWND placeholderWindow);
    // Deletes the four drawing objects and forgets parent and placeholder.
    void Detach();
    bool Attached() const { return parent != nullptr && placeholder != nullptr; }

    // Makes the two brushes and the two pens from the colour fields anew; stops at the first that
    // cannot be made.
    [[nodiscard]] bool CreateObjects();
    void DeleteObjects();

    // A value above the scale (cut to a whole number) is refused and changes nothing; an accepted
    // one becomes the value and, when higher, the peak.
    bool Offer(unsigned int offered);
    // The text the bar shows for its text mode; text mode 3 keeps the text its owner set.
    const char* FormatText();
    void Paint(HDC dc);

    // The bar's rectangles in its parent's client area, from the placeholder's, at the bar's DPI;
    // false when the placeholder's rectangle cannot be read.
    bool Rectangles(RECT& outer, RECT& filled) const;
    // The arithmetic of Rectangles: `placeholder` is the placeholder's rectangle in parent
    // coordinates (right and bottom exclusive), `pixel` the size of a 96-dpi pixel at the bar's DPI.
    // With the border the outer right edge moves in by one pixel. The filled part starts two pixels
    // in and covers value / scale of the inner width; a scale of 0 or less fills nothing, and the
    // fill never passes the inner width.
    static void BarRectangles(const RECT& placeholder, bool withBorder, double value, double scale, int pixel,
                              RECT& outer, RECT& filled);

    HWND parent;
    HWND placeholder;
    UINT dpi;  // of the parent, for the insets; the parent keeps it and the font up to date
    double scale;
    double value;
    double peak;
    HFONT font;
    COLORREF textColor;
    COLORREF backgroundColor;
    COLORREF barColor;
    COLORREF lightEdgeColor;
    COLORREF darkEdgeColor;
    WINBRUSH backgroundBrush;
    WINBRUSH barBrush;
    WINPEN lightPen;
    WINPEN darkPen;
    int showText;
    int showPeak;
    int border;
    int transparent;
    int textMode;  // 0 peak or nothing, 1 per cent, 2 value and scale, 3 the owner's text
    char text[256];
};

// A number of the bar cut toward zero to a whole number, held within the type; NaN is 0.
int CutToInt(double number);
unsigned int CutToUnsigned(double number);
