// Builds the postal-code database dbPost.db (and its update archive) from a published text file.
#include "AppState.h"
#include "CommandHelp.h"
#include "PostcodeImport.h"
#include "PostcodeSql.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

const QString kProgram = QStringLiteral("mobileshop-postcode-import");

const char *kHelp =
    "공개된 우편번호 자료 파일(구분 문자로 나뉜 글)로 우편번호 DB(dbPost.db)를 만듭니다.\n"
    "업체나 대리점이 자기 웹 서버에 올려 둔 dbPost.zip 은 프로그램의 '최신 우편번호 업그레이드'가\n"
    "<서버>/download/zipcode/adozip/dbPost.zip 에서 내려받습니다.\n"
    "\n"
    "입력 파일:\n"
    "  - 글자: UTF-8 또는 CP949(저절로 알아봅니다. --encoding 으로 정할 수 있습니다)\n"
    "  - 구분 문자: '|', 탭 또는 쉼표(첫 줄에서 가장 많이 쓰인 것; 쉼표 파일은 \"...\"로 묶은 칸을 읽습니다)\n"
    "  - 첫 줄: 열 이름. 알아보는 이름:\n"
    "%1"
    "    다른 이름은 --map 으로 알려 주세요. 예: --map ZIPCODE=새우편번호 --map DONG=법정동명\n"
    "  - 칸 수가 첫 줄과 다르거나 우편번호(숫자와 '-')나 읍/면/동이 잘못된 줄은 줄 번호와 함께\n"
    "    알리고 건너뜁니다.\n"
    "\n"
    "출력 파일은 다 만든 뒤에 이름을 바꾸어 놓으므로, 실패하면 있던 파일이 그대로 남습니다.\n";

QString knownNamesText() {
    QString text;
    for (int c = 0; c < PostcodeSql::kColumns.size(); ++c)
        text += QStringLiteral("      %1: %2%3\n")
                    .arg(PostcodeSql::kColumns[c], PostcodeTextReader::knownNames(c).join(QStringLiteral(", ")),
                         c == 4 ? QStringLiteral(" (없어도 됩니다)") : QString());
    return text;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    const QCommandLineOption encoding(QStringLiteral("encoding"),
                                      QStringLiteral("입력의 글자: auto, utf-8, cp949 (기본 auto)"),
                                      QStringLiteral("글자"), QStringLiteral("auto"));
    const QCommandLineOption delimiter(QStringLiteral("delimiter"),
                                       QStringLiteral("구분 문자: '|', tab, ',' (기본: 첫 줄에서 찾음)"),
                                       QStringLiteral("문자"));
    const QCommandLineOption map(QStringLiteral("map"), QStringLiteral("우리 열=파일의 열 이름 (여러 번 쓸 수 있음)"),
                                 QStringLiteral("열=이름"));
    const QCommandLineOption zip(QStringLiteral("zip"), QStringLiteral("업그레이드용 압축 파일(dbPost.zip)도 만듭니다"),
                                 QStringLiteral("파일"));
    const CommandHelp::Command command{
        kProgram, QStringLiteral("[옵션] 입력 [출력]"),
        QStringLiteral("  입력  우편번호 자료 파일\n  출력  만들 DB 파일 (기본: dbPost.db)\n\n") +
            QString::fromUtf8(kHelp).arg(knownNamesText()),
        CommandHelp::versionLine(kProgram, AppState::title())};
    if (const int code =
            CommandHelp::answer(parser, {encoding, delimiter, map, zip}, app.arguments(), command, out, err);
        code >= 0)
        return code;
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty() || files.size() > 2) {
        err << "입력 파일을 하나 주세요.\n도움말: " << kProgram << " --help" << Qt::endl;
        return 2;
    }

    PostcodeTextReader::Options options;
    const QString enc = parser.value(encoding).toLower();
    if (enc == QLatin1String("utf-8") || enc == QLatin1String("utf8"))
        options.encoding = PostcodeTextReader::Encoding::Utf8;
    else if (enc == QLatin1String("cp949") || enc == QLatin1String("euc-kr"))
        options.encoding = PostcodeTextReader::Encoding::Cp949;
    else if (enc != QLatin1String("auto")) {
        err << "알 수 없는 글자 방식입니다: " << enc << Qt::endl;
        return 2;
    }
    if (parser.isSet(delimiter)) {
        const QString d = parser.value(delimiter);
        options.delimiter = d.compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0 ? QChar(u'\t')
                            : d.size() == 1                                           ? d[0]
                                                                                      : QChar();
        if (options.delimiter.isNull()) {
            err << "구분 문자는 한 글자이거나 tab 이어야 합니다: " << d << Qt::endl;
            return 2;
        }
    }
    for (const QString &value : parser.values(map))
        for (const QString &pair : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            const QString ours = pair.left(eq).trimmed().toUpper();
            if (eq <= 0 || !PostcodeSql::kColumns.contains(ours)) {
                err << "--map 은 " << PostcodeSql::kColumns.join(QStringLiteral("/"))
                    << "=열이름 꼴이어야 합니다: " << pair << Qt::endl;
                return 2;
            }
            options.mapping.insert(ours, pair.mid(eq + 1).trimmed());
        }

    const QString output = files.size() > 1 ? files[1] : QStringLiteral("dbPost.db");
    QElapsedTimer timer;
    timer.start();
    const PostcodeImport::Report report = PostcodeImport::buildDatabase(files[0], output, options);
    for (const auto &bad : report.badLines)
        err << bad.line << "번째 줄: " << bad.reason << Qt::endl;
    if (!report.ok) {
        err << "실패: " << report.message << Qt::endl;
        return 1;
    }
    const double seconds = qMax<qint64>(1, timer.elapsed()) / 1000.0;
    out << QStringLiteral("%1: 우편번호 %2줄 (%3, 구분 '%4'), 건너뛴 줄 %5, %6초 (초당 %7줄)")
               .arg(output)
               .arg(report.rows)
               .arg(report.encoding == PostcodeTextReader::Encoding::Utf8 ? QStringLiteral("UTF-8")
                                                                          : QStringLiteral("CP949"))
               .arg(report.delimiter == QLatin1Char('\t') ? QStringLiteral("탭") : QString(report.delimiter))
               .arg(report.badLines.size())
               .arg(seconds, 0, 'f', 2)
               .arg(qint64(report.rows / seconds))
        << Qt::endl;
    if (parser.isSet(zip)) {
        QString error;
        if (!PostcodeImport::buildArchive(output, parser.value(zip), &error)) {
            err << "실패: " << error << Qt::endl;
            return 1;
        }
        out << parser.value(zip) << ": 업그레이드용 압축 파일" << Qt::endl;
    }
    return 0;
}
