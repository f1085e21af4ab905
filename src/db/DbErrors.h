#pragma once

namespace modMDB_Func {
// Error numbers the database helpers report, whatever the engine.
enum ErrorNumber {
    errNoConnection = 91,
    errBadExpression = 3011,
    errLocked = 3261,
    errFail = -2147467259,        // unspecified failure (also: read-only database)
    errBadPassword = -2147217843, // not a valid password
    errCommand = -2147217900,     // error in the statement
};
} // namespace modMDB_Func
