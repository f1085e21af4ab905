#pragma once

// The main window's hidden menu item opens the network setup through the window registry.
void registerNetSetupWindows();
// "--demo netsetup": the setup window on its own; prints what it stored.
void registerNetSetupDemos();
