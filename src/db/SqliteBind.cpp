#include "SqliteBind.h"
#include <sqlite3.h>

int SqliteBind(sqlite3_stmt *st, const QVariantList &values) {
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values[i];
        const int at = i + 1;
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(st, at);
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
            rc = sqlite3_bind_int64(st, at, v.toLongLong());
        } else if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(st, at, v.toDouble());
        } else if (v.typeId() == QMetaType::QByteArray) {
            const QByteArray bytes = v.toByteArray();
            rc = sqlite3_bind_blob64(st, at, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
        } else {
            const QString text = v.toString();
            rc = sqlite3_bind_text16(st, at, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}
