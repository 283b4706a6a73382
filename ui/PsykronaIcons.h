#pragma once

#include <QIcon>
#include <QPixmap>

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
// The image at Index in the sizes menus, tool bars and title bars use.
QIcon PsykronaIcon(int Index);

} // namespace psykrona
