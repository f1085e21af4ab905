#include "EngineReasons.h"
#include <QSqlError>

QString engineWords(const QSqlError &e) { return (e.databaseText().isEmpty() ? e.text() : e.databaseText()).trimmed(); }

QString explainEngineText(const QString &engineText, std::span<const EngineReason> reasons) {
    const QString text = engineText.simplified(); // libpq indents its second line with tabs
    for (const auto &[words, korean] : reasons)
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive))
            return QString::fromUtf8(korean) + QStringLiteral("\r\n(") + text + QLatin1Char(')');
    return text;
}

QString explainSqliteText(const QString &engineText) {
    static const EngineReason kReasons[] = {
        {"malformed", "파일의 내용이 깨져 있습니다."},
        {"not a database", "데이터베이스 파일이 아니거나 파일의 앞부분이 깨져 있습니다."},
        {"locked", "다른 프로그램이 데이터베이스를 쓰고 있습니다. 잠시 뒤 다시 시도하세요."},
        {"busy", "다른 프로그램이 데이터베이스를 쓰고 있습니다. 잠시 뒤 다시 시도하세요."},
        {"readonly", "데이터베이스 파일이 읽기 전용입니다."},
        {"read-only", "데이터베이스 파일이 읽기 전용입니다."},
        {"disk is full", "디스크 공간이 부족합니다."},
        {"permission denied", "데이터베이스 파일이나 폴더에 접근할 권한이 없습니다."},
        {"unable to open", "데이터베이스 파일을 열 수 없습니다. 파일과 폴더가 있는지, 권한이 있는지 확인하세요."},
        {"disk I/O error", "디스크를 읽거나 쓰지 못했습니다. 디스크나 네트워크 연결을 확인하세요."},
    };
    return explainEngineText(engineText, kReasons);
}
