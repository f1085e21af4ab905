#pragma once

// "FrmHandsetImport" in the window registry (the handset list opens it by name) and
// "--demo import [file]".
void registerImportWindows();
void registerImportDemos();
