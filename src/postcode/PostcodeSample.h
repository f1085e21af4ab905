#pragma once
#include <QString>

// The sample postal-code database a fresh application folder gets: every province and
// city/district by its real name, with sample towns and codes (data/postcode-sample.txt).
namespace PostcodeSample {

// The sample text as built into the program.
QString sourceFile();
// Builds the sample database at dbFile unless a file is already there.
bool seed(const QString &dbFile, QString *error);

} // namespace PostcodeSample
