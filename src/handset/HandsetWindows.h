#pragma once

// Makes the handset windows known to the main window and seeds fresh folders with the
// demo catalogue.
void registerHandsetWindows();

// Adds the print-column chooser over the handset list's grid ("rptcol") to the demo windows.
void registerHandsetDemos();
