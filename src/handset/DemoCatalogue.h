#pragma once
#include <QString>

class QSqlDatabase;

// The demo catalogue of a fresh application folder: about forty handset models with a
// picture each, drawn here (named by HandsetPictures: IMG/<mid>.bmp).
namespace DemoCatalogue {
// Adds the models to the database file (one transaction) and draws their pictures into
// imageFolder; a picture file already there is kept as it is. False with the reason when
// either cannot be written.
bool seed(const QString &dbFile, const QString &imageFolder, QString *error);
// The same through an open connection to the main database of either engine.
bool seed(const QSqlDatabase &db, const QString &imageFolder, QString *error);
// Draws one handset picture (also used by the benchmarks' generator).
bool drawPicture(const QString &file, const QString &maker, const QString &model, int hue, int shape);
} // namespace DemoCatalogue
