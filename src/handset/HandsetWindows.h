#pragma once

// Makes the handset windows known to the main window and seeds fresh folders with the
// demo catalogue.
void registerHandsetWindows();
