// The main window takes a share of the screen that shrinks as screens grow,
// so it keeps roughly the size it was designed for, centred at the top edge.
#pragma once

namespace qx {

double widthFactor(int screenWidth);
double heightFactor(int screenHeight);

struct WindowGeometry
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
WindowGeometry mainWindowGeometry(int screenWidth, int screenHeight);

} // namespace qx
