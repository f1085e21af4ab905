#pragma once

// Adds the calendar pop-up ("calendar") and the period picker ("period") to the demo windows:
// each opens on its own, waits to close and prints what it handed back.
void registerCalendarDemos();
