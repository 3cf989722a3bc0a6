#include "Layout.h"

namespace brovia {

std::vector<TPoint> TitleRegionPolygon(int width, int height) {
  // The third point takes the height as x and width - 30 as y: its far-off y makes the
  // right side slant in by about 20 pixels over the tab's rows.
  return {{-1, 0}, {width, 0}, {height, width - 30}, {height, height}};
}

TPoint LogingPanelPosition(int welcomeWidth, int welcomeHeight, int panelWidth, int panelHeight) {
  return {(welcomeWidth - panelWidth) / 2, (welcomeHeight - panelHeight) / 2 + 100};
}

int CenteredTabLeft(int screenWidth, int tabWidth) { return (screenWidth - tabWidth) / 2; }

}  // namespace brovia
