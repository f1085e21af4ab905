#include "AppState.h"

void AppState::reset() {
    gCodeLength = 6;
    gDBFile.clear();
    gStyleOn = false;
    gCSType = 0;
    gDBPath.clear();
    gLoginID.clear();
    gUserName.clear();
}
