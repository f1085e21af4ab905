// Checks once per machine that the database engine works: the database named on the
// command line opens with its password and holds the named table. Only then it stores
// "YES", which the program looks for before every start. A failed check leaves its reason
// beside it ("CHECK_ERROR") for the program to show; this program has no window of its own.
#include "AppPaths.h"
#include "AppState.h"
#include "CommandHelp.h"
#include "Prompter.h"
#include "Schema.h"
#include "Settings.h"
#include "modMDB_Func.h"
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>

namespace {

const QString kSection = QStringLiteral("MDAC_Check");

// Keeps what the database layer would have shown, so that it can be handed on.
class KeepingPrompter final : public DecliningPrompter {
public:
    QStringList texts;
    void message(Icon, const QString &, const QString &text) override { texts << text; }
    int question(const QString &, const QString &text, bool) override {
        texts << text;
        return No;
    }
};

int fail(const QString &why) {
    QTextStream(stderr) << why << Qt::endl;
    // The store keeps one line per value; the program turns the tabs back into lines.
    QString line = why;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\t")).replace(QLatin1Char('\n'), QLatin1Char('\t'));
    Settings::SaveSetting(AppState::sharedApp(), kSection, QStringLiteral("CHECK_ERROR"), line);
    return 1;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const CommandHelp::Command command{
        QStringLiteral("FirstCheck"), QStringLiteral("\"<데이터베이스 파일>|<테이블>\""),
        QStringLiteral(
            "데이터베이스 엔진이 이 PC에서 되는지 한 번 점검합니다: 파일이 암호로 열리고 테이블이 있으면\n"
            "설정(\"MDAC_Check\")에 YES 를 적고, 아니면 그 까닭을 남깁니다. 휴대폰관리가 시작할 때 부릅니다.\n"),
        CommandHelp::versionLine(QStringLiteral("FirstCheck"), AppState::title())};
    if (CommandHelp::answerHelpOrVersion(app.arguments(), {}, command, out) == 0)
        return 0;
    AppPaths::initFromArguments(app.arguments());
    // One argument " <database file>|<table>"; a shell may also split it at blanks.
    const QString tail = app.arguments().mid(1).join(QLatin1Char(' ')).trimmed();
    const qsizetype bar = tail.lastIndexOf(QLatin1Char('|'));
    if (bar <= 0) {
        QTextStream(stderr) << "사용법: FirstCheck " << command.usage << "\n도움말: FirstCheck --help" << Qt::endl;
        return 2;
    }
    const QString file = tail.left(bar).trimmed();
    const QString table = tail.mid(bar + 1).trimmed();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return fail(QStringLiteral("데이터베이스 드라이버(QSQLITE)가 설치되어 있지 않습니다."));
    KeepingPrompter kept;
    const bool opened = [&] {
        const Prompter::Override keeping(kept);
        return modMDB_Func::OpenDB(file, Schema::kPassword, true, false);
    }();
    if (!opened)
        return fail(kept.texts.isEmpty() ? QStringLiteral("데이터베이스를 열 수 없습니다.")
                                         : kept.texts.join(QStringLiteral("\r\n")));
    const bool found = modMDB_Func::connection().tables().contains(table, Qt::CaseInsensitive);
    modMDB_Func::DBTerminate();
    if (!found)
        return fail(QStringLiteral("데이터베이스에 '%1' 테이블이 없습니다.").arg(table));
    Settings::DeleteSetting(AppState::sharedApp(), kSection, QStringLiteral("CHECK_ERROR"));
    if (!Settings::SaveSetting(AppState::sharedApp(), kSection, QStringLiteral("CHECK_VALUE"), QStringLiteral("YES")))
        return fail(QStringLiteral("설정 파일에 쓸 수 없습니다: ") + Settings::storeFile(AppState::sharedApp()));
    return 0;
}
