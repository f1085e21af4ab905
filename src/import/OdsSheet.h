#pragma once
#include "SheetData.h"

// OpenDocument spreadsheets (.ods) read with libzip and QXmlStreamReader from content.xml:
// the tables' names and one table's cells, repeated rows and cells unfolded where they hold
// something (a sheet's tail of a million repeated empty rows costs nothing).
namespace OdsSheet {
SheetData::Read read(const QString &file, const SheetData::Options &options);
} // namespace OdsSheet
