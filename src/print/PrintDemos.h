#pragma once

// Adds the printer selection window ("printer", the kind "A4일반") to the demo windows.
void registerPrintDemos();
