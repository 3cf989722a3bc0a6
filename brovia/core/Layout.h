// Geometry of the title tab and the welcome screen.
#pragma once
#include <vector>

namespace brovia {

struct TPoint {
  int X = 0;
  int Y = 0;
};

inline bool operator==(const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; }

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

inline bool operator==(const TBounds& a, const TBounds& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

// The polygon that shapes the title tab of the given size (filled in winding mode):
// (-1, 0), (width, 0), (height, width - 30), (height, height). Clipped to the tab it leaves
// a trapezoid whose top row spans the whole width and whose sides slant inward.
std::vector<TPoint> TitleRegionPolygon(int width, int height);

// Position of the loading panel on the welcome panel: centred across, 100 pixels below the
// centre down (each half by integer division toward zero).
TPoint LogingPanelPosition(int welcomeWidth, int welcomeHeight, int panelWidth, int panelHeight);

// Left of the title tab centred on a screen of the given width.
int CenteredTabLeft(int screenWidth, int tabWidth);

}  // namespace brovia
