#include "DemoCatalogue.h"
#include "HandsetPictures.h"
#include "PictureTable.h"
#include "Schema.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace DemoCatalogue {

namespace {
struct Model {
    const char *mid, *year, *maker, *open, *ant, *model, *sar, *nick;
};
const Model kModels[] = {
    {"SCH-W270", "2008", "삼성전자", "폴더", "내장형", "애니콜 W270", "0.982", "고아라폰"},
    {"SCH-W420", "2008", "삼성전자", "슬라이드", "내장형", "애니콜 W420", "1.120", "연아폰"},
    {"SPH-W4700", "2008", "삼성전자", "터치", "내장형", "햅틱2", "0.640", "햅틱"},
    {"SCH-W830", "2009", "삼성전자", "폴더", "내장형", "애니콜 W830", "1.050", "매직홀"},
    {"SHW-M110S", "2010", "삼성전자", "바", "내장형", "갤럭시S", "0.507", "갤스"},
    {"SHV-E210S", "2012", "삼성전자", "바", "내장형", "갤럭시S3", "0.521", "갤럭시 쓰리"},
    {"SM-N900", "2013", "삼성전자", "바", "내장형", "갤럭시노트3", "0.354", "노트3"},
    {"SM-G920", "2015", "삼성전자", "바", "내장형", "갤럭시S6", "0.423", "S6"},
    {"LG-SV800", "2008", "LG전자", "슬라이드", "내장형", "시크릿폰", "1.010", "시크릿"},
    {"LG-KV5900", "2006", "LG전자", "슬라이드", "내장형", "초콜릿폰", "1.230", "초콜릿"},
    {"LG-SH400", "2008", "LG전자", "폴더", "내장형", "와인폰", "0.910", "와인폰"},
    {"LG-LU2300", "2009", "LG전자", "터치", "내장형", "아레나폰", "0.780", "아레나"},
    {"LG-SU660", "2011", "LG전자", "바", "내장형", "옵티머스2X", "0.610", "투엑스"},
    {"LG-F180", "2012", "LG전자", "바", "내장형", "옵티머스G", "0.480", "G"},
    {"LG-F320", "2013", "LG전자", "바", "내장형", "G2", "0.420", "지투"},
    {"IM-S100", "2007", "팬택", "폴더", "외장형", "스카이 S100", "1.310", "스카이"},
    {"IM-U160", "2008", "팬택", "슬라이드", "내장형", "스카이 U160", "1.150", "듀퐁폰"},
    {"IM-A650S", "2010", "팬택", "바", "내장형", "베가", "0.690", "베가"},
    {"IM-A830S", "2012", "팬택", "바", "내장형", "베가레이서2", "0.550", "레이서"},
    {"IM-A900S", "2014", "팬택", "바", "내장형", "베가아이언2", "0.470", "아이언"},
    {"MS-500", "2007", "모토로라", "폴더", "내장형", "레이저", "1.420", "레이저폰"},
    {"MS-600", "2008", "모토로라", "바", "내장형", "크리스탈", "1.100", "크리스탈"},
    {"XT-800", "2010", "모토로라", "바", "내장형", "모토쿼티", "0.830", "쿼티"},
    {"N-95", "2007", "노키아", "슬라이드", "내장형", "N95", "0.770", "엔구오"},
    {"N-6210", "2008", "노키아", "슬라이드", "내장형", "6210 내비게이터", "0.850", "내비폰"},
    {"A-1241", "2009", "애플", "바", "내장형", "아이폰 3GS", "0.790", "아이폰"},
    {"A-1332", "2010", "애플", "바", "내장형", "아이폰 4", "0.930", "아이폰4"},
    {"A-1387", "2011", "애플", "바", "내장형", "아이폰 4S", "0.880", "포에스"},
    {"A-1429", "2012", "애플", "바", "내장형", "아이폰 5", "0.900", "오"},
    {"EV-W100", "2008", "KT테크", "폴더", "내장형", "에버 W100", "1.200", "에버"},
    {"KM-S200", "2010", "KT테크", "바", "내장형", "테이크", "0.980", "테이크"},
    {"SKY-IM7400", "2006", "SK텔레텍", "스윙", "외장형", "스카이 스윙", "1.390", "스윙폰"},
    {"SKY-IM8300", "2007", "SK텔레텍", "스윙", "외장형", "스카이 큐브", "1.280", "큐브폰"},
    {"SCH-V740", "2005", "삼성전자", "폴더", "외장형", "애니콜 V740", "1.450", "가로본능"},
    {"SPH-V6900", "2005", "삼성전자", "폴더", "외장형", "애니콜 V6900", "1.380", "블루블랙"},
    {"LG-KP4400", "2005", "LG전자", "폴더", "외장형", "싸이언 KP4400", "1.410", "싸이언"},
    {"CYON-SB130", "2006", "LG전자", "슬라이드", "외장형", "싸이언 SB130", "1.330", "슬라이드"},
    {"SCH-B750", "2007", "삼성전자", "폴더", "외장형", "애니콜 B750", "1.290", "DMB폰"},
    {"SPH-M4650", "2009", "삼성전자", "터치", "내장형", "옴니아 팝", "0.860", "옴니아"},
    {"SHW-A160S", "2010", "삼성전자", "폴더", "내장형", "매직홀 A160", "1.020", "효도폰"},
};
constexpr int kShapes = 4; // bar, folder, slide, touch
int shapeOf(const QString &open) {
    if (open == QStringLiteral("폴더") || open == QStringLiteral("스윙"))
        return 1;
    if (open == QStringLiteral("슬라이드"))
        return 2;
    if (open == QStringLiteral("터치"))
        return 3;
    return 0;
}
} // namespace

bool drawPicture(const QString &file, const QString &maker, const QString &model, int hue, int shape) {
    QImage img(120, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = QColor::fromHsv(hue % 360, 90, 110);
    const QRectF phone(22, 14, 76, 162);
    QPainterPath outline;
    outline.addRoundedRect(phone, 12, 12);
    p.fillPath(outline, body);
    p.setPen(QPen(body.darker(150), 2));
    p.drawPath(outline);
    const QRectF screen = shape % kShapes == 3 ? phone.adjusted(6, 14, -6, -20) : phone.adjusted(8, 16, -8, -84);
    p.fillRect(screen, QColor(30, 60, 90));
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(9);
    p.setFont(f);
    p.drawText(screen.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, model);
    if (shape % kShapes == 1) // folder hinge
        p.fillRect(QRectF(phone.left(), phone.center().y() - 3, phone.width(), 6), body.darker(140));
    if (shape % kShapes != 3) { // keypad
        p.setBrush(body.lighter(150));
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRoundedRect(QRectF(36 + c * 17, 104 + r * 15, 13, 10), 3, 3);
    }
    p.setPen(Qt::black);
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 178, 120, 20), Qt::AlignCenter, maker);
    p.end();
    QDir().mkpath(QFileInfo(file).absolutePath());
    return img.save(file, "BMP");
}

namespace {
// On a server the pictures are its table's; the folder is then this PC's cache of them.
bool upload(const QSqlDatabase &db, const QString &id, const QString &file, QString *error) {
    const int present = PictureTable::exists(db, id, error);
    if (present != 0)
        return present == 1;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return PictureTable::put(db, id, f.readAll(), error);
}
} // namespace

bool seed(const QSqlDatabase &connection, const QString &imageFolder, QString *error) {
    QSqlDatabase db = connection;
    const bool server = db.driverName() == QLatin1String("QPSQL");
    bool ok = db.transaction();
    {
        QSqlQuery q(db);
        ok = ok && q.prepare(QStringLiteral("INSERT INTO t_mobile (mcode, mid, makeyear, makecom, opentype, ant, model,"
                                            " sar, nick, imgpath, bigo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, '', '')"));
        int n = 0;
        for (const Model &m : kModels) {
            if (!ok)
                break;
            q.addBindValue(QStringLiteral("%1").arg(++n, 6, 10, QLatin1Char('0')));
            for (const char *v : {m.mid, m.year, m.maker, m.open, m.ant, m.model, m.sar, m.nick})
                q.addBindValue(QString::fromUtf8(v));
            ok = q.exec();
        }
        if (!ok && error)
            *error = q.lastError().text() + db.lastError().text();
    }
    if (!ok || !db.commit()) {
        db.rollback();
        return false;
    }
    int hue = 200;
    for (const Model &m : kModels) {
        const QString open = QString::fromUtf8(m.open);
        const QString file = HandsetPictures::fileIn(imageFolder, QString::fromUtf8(m.mid));
        hue += 37;
        // A picture already there is the shop's own.
        if (!QFileInfo::exists(file) &&
            !drawPicture(file, QString::fromUtf8(m.maker), QString::fromUtf8(m.model), hue, shapeOf(open))) {
            if (error)
                *error = QStringLiteral("'%1' 폴더에 그림을 쓸 수 없습니다.").arg(imageFolder);
            return false;
        }
        if (server && !upload(db, QString::fromUtf8(m.mid), file, error))
            return false;
    }
    return true;
}

bool seed(const QString &dbFile, const QString &imageFolder, QString *error) {
    return Schema::fillFile(
        dbFile, [&](const QSqlDatabase &db, QString *why) { return seed(db, imageFolder, why); }, error);
}

} // namespace DemoCatalogue
