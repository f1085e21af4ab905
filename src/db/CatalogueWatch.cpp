#include "CatalogueWatch.h"
#include "modMDB_Func.h"
#include <QSqlDatabase>

std::unique_ptr<CatalogueWatch> CatalogueWatch::forOpenDatabase() {
    if (!modMDB_Func::IsOpen())
        return nullptr;
    return modMDB_Func::IsServerDatabase() ? onServer(modMDB_Func::connection()) : onFile();
}
