#include "PostcodeSample.h"
#include "PostcodeImport.h"
#include <QFileInfo>

namespace PostcodeSample {

QString sourceFile() { return QStringLiteral(":/postcode/postcode-sample.txt"); }

bool seed(const QString &dbFile, QString *error) {
    if (QFileInfo::exists(dbFile))
        return true;
    const PostcodeImport::Report report = PostcodeImport::buildDatabase(sourceFile(), dbFile);
    if (!report.ok)
        *error = QStringLiteral("우편번호 견본 DB를 만들 수 없습니다: ") + report.message;
    return report.ok;
}

} // namespace PostcodeSample
