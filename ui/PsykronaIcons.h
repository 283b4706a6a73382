#pragma once

#include <QIcon>
#include <QPixmap>

#include <array>

namespace psykrona {

// The program's own images for the tool bar, the menus and the window,
// drawn in code on a 16-unit grid so that every size is sharp. Indexes:
enum TPsykronaImage : int {
    imgNew = 0,
    imgOpen = 1,
    imgSave = 2,
    imgPrint = 3,
    imgAddPoint = 4,
    imgDeletePoint = 5,
    imgEditPoint = 6,
    imgInsertPoint = 7,
    imgChart = 8, // also the window's icon
    imgHelp = 9,
    PsykronaImageCount = 10,
};

// The image at Index drawn Size logical pixels square on a transparent
// ground, at the device pixel ratio Ratio.
QPixmap DrawPsykronaImage(int Index, int Size, qreal Ratio = 1);
// The sizes an icon of these images holds.
inline constexpr std::array<int, 4> DrawnIconSizes{16, 24, 32, 48};
// The image at Index in the sizes menus, tool bars and title bars use, each
// drawn when it is first shown.
QIcon PsykronaIcon(int Index);
// The same icon with every size drawn at once.
QIcon DrawnPsykronaIcon(int Index);

} // namespace psykrona
