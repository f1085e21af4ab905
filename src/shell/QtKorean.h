#pragma once

// Qt's own texts (dialog buttons, the print dialog) in Korean, from the package's copy
// (share/mobileshop/translations), Qt's translations or a translations folder beside the
// program, and Korean as the locale of every window's dates.
// False when no translation was found (Qt's texts stay English).
bool InstallQtKorean();
