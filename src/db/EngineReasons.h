#pragma once
#include <QString>
#include <span>

class QSqlError;

// What the engine itself said of a failure (Qt's own text when it said nothing), trimmed.
QString engineWords(const QSqlError &e);

// A database engine's English failure text said in Korean: the reason of the first entry
// whose words the text holds (case ignored), then the engine's own words in brackets for
// whoever looks further; the text alone when no entry matches.
struct EngineReason {
    const char *words;
    const char *korean;
};
QString explainEngineText(const QString &engineText, std::span<const EngineReason> reasons);

// The common failures of the embedded SQLite file.
QString explainSqliteText(const QString &engineText);
