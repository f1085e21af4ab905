#pragma once
#include <QPixmap>

// The preview toolbar's pictures, drawn here: 1 zoom, 3/4 previous (enabled/disabled),
// 6 print, 7/8 next (enabled/disabled), 9 page setup, 10 close; 2 and 5 are not used.
QPixmap previewPicture(int index, int side = 24);
