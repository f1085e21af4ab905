#pragma once

// A fresh application folder gets the sample postal-code database.
void registerPostcodeWindows();
// "--demo postcode [text]": the lookup as a caller uses it.
void registerPostcodeDemos();
