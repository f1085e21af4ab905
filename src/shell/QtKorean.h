#pragma once

// Qt's own texts (dialog buttons, the print dialog) in Korean, from Qt's translations or a
// translations folder beside the program. False when none was found (they stay English).
bool InstallQtKorean();
