#include "XlsSheet.h"
#include "AppPaths.h"
#include "CompoundDirectory.h"
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

namespace XlsSheet {

namespace {
const QString kTool = QStringLiteral("xls-text");
// FreeXL's codes for a file that is no workbook of its kind.
constexpr int kFileNotFound = -1, kNoMemory = -4, kNoCompoundFile = -7, kLastCompoundFileError = -13;

QString why(int code) {
    switch (code) {
    case kFileNotFound: return QStringLiteral("파일을 열 수 없습니다.");
    case kNoMemory: return QStringLiteral("메모리가 모자라 파일을 읽을 수 없습니다.");
    default:
        if (code <= kNoCompoundFile && code >= kLastCompoundFileError)
            return QStringLiteral(
                "엑셀 97-2003(.xls) 파일이 아니거나 손상되었습니다. 다른 형식이면 그 확장자로 고르세요.");
        return QStringLiteral("엑셀 파일이 손상되었습니다 (FreeXL 오류 %1).").arg(code);
    }
}

// A workbook saved with a password: in an .xls the record after the globals' BOF is
// FILEPASS; one named .xls may also be an encrypted .xlsx. FreeXL fails on both, in ways that
// do not tell them from damage.
bool passwordProtected(const QString &file) {
    constexpr quint16 kBof = 0x0809, kFilePass = 0x002F;
    const QByteArray head = CompoundDirectory::streamStart(file, QStringLiteral("Workbook"), 64);
    const auto at = [&head](qsizetype i) { return qFromLittleEndian<quint16>(head.constData() + i); };
    if (head.size() >= 4 && at(0) == kBof) {
        const qsizetype next = 4 + at(2);
        return head.size() >= next + 2 && at(next) == kFilePass;
    }
    return CompoundDirectory::isEncryptedPackage(CompoundDirectory::entries(file));
}

QString unescaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar c = text[++i];
        out += c == u't' ? QChar(u'\t') : c == u'n' ? QChar(u'\n') : c == u'r' ? QChar(u'\r') : c;
    }
    return out;
}

// One line of the companion's output; false when the reading stops here (r says why).
bool take(QStringView line, SheetData::Read &r, const SheetData::Options &o) {
    const QList<QStringView> parts = line.split(u'\t');
    const QStringView kind = parts.value(0);
    if (kind == u"S") {
        r.sheets << unescaped(parts.value(1));
    } else if ((kind == u"C" || kind == u"N") && parts.size() >= 4) {
        const qsizetype row = parts[1].toLongLong();
        const int col = parts[2].toInt();
        if (row >= SheetData::kMaxRows || col >= SheetData::kMaxCols) {
            r.message = QStringLiteral("엑셀 파일이 손상되었습니다 (셀 위치).");
            return false;
        }
        const QString text = unescaped(line.sliced(parts[0].size() + parts[1].size() + parts[2].size() + 3));
        // A number comes as C's %.15g: its shortest text, as the other readers give it.
        SheetData::put(r.rows, row, col, kind == u"N" ? SheetData::numberText(text.toDouble()) : text);
    } else if (kind == u"P" && o.progress && !o.progress(parts.value(1).toInt())) {
        r.cancelled = true;
        r.message = SheetData::kCancelled;
        return false;
    } else if (kind == u"E") {
        r.message = why(parts.value(1).toInt());
        return false;
    } else if (kind == u"X") {
        r.message = SheetData::kPasswordProtected;
        return false;
    }
    return true;
}
} // namespace

SheetData::Read read(const QString &file, const SheetData::Options &o) {
    SheetData::Read r;
    const QString program = AppPaths::toolPath(kTool);
    if (!QFileInfo(program).isExecutable()) {
        r.message = QStringLiteral(".xls 파일을 읽는 프로그램(%1)을 찾을 수 없습니다.").arg(kTool);
        return r;
    }
    QProcess p;
    p.start(program, {QFileInfo(file).absoluteFilePath(), QString::number(o.sheet)});
    if (!p.waitForStarted(10000)) {
        r.message = QStringLiteral(".xls 파일을 읽는 프로그램(%1)을 시작할 수 없습니다.").arg(kTool);
        return r;
    }
    QByteArray pending;
    bool going = true;
    while (going) {
        const bool more = p.waitForReadyRead(200) || p.bytesAvailable() > 0;
        if (!more && p.state() == QProcess::NotRunning)
            break;
        pending += p.readAllStandardOutput();
        qsizetype start = 0;
        for (qsizetype end; going && (end = pending.indexOf('\n', start)) >= 0; start = end + 1)
            going = take(QString::fromUtf8(pending.constData() + start, end - start), r, o);
        pending.remove(0, start);
    }
    if (!going) {
        p.kill();
        p.waitForFinished(5000);
        r.rows.clear();
        if (!r.cancelled && passwordProtected(file))
            r.message = SheetData::kPasswordProtected;
        return r;
    }
    p.waitForFinished(5000);
    if (p.exitStatus() != QProcess::NormalExit || (p.exitCode() != 0 && r.message.isEmpty())) {
        r.message = passwordProtected(file) ? SheetData::kPasswordProtected
                                            : QStringLiteral("엑셀 파일이 손상되어 읽을 수 없습니다.");
        r.rows.clear();
        return r;
    }
    SheetData::finish(r, o.sheet);
    return r;
}

} // namespace XlsSheet
