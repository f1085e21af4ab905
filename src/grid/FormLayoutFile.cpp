#include "FormLayoutFile.h"
#include <cmath>
#include "AppPaths.h"
#include "IniFile.h"
#include <QFile>
#include <QRegularExpression>

namespace FormLayoutFile {

namespace {
const QString kPosition = QStringLiteral("FormPosition");

QString limited(const IniFile &ini, const QString &section, const QString &key) {
    // The reads go through a 10-character buffer: 9 characters and the terminator.
    return ini.value(section, key).left(9).trimmed();
}

QString colsSection(const QString &base) { return base + QStringLiteral("_ColsWidth"); }
QString generalSection(const QString &base) { return base + QStringLiteral("_General"); }
} // namespace

QString folder() { return AppPaths::inApp(QStringLiteral("FormIni")); }

QString path(const QString &fileName) { return folder() + QLatin1Char('/') + fileName + QStringLiteral(".ini"); }

QString readValue(const QString &file, const QString &section, const QString &key) {
    return limited(IniFile(file), section, key);
}

std::optional<double> numeric(const QString &text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

double leadingNumber(const QString &text) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

QString numberText(double value) { return QString::number(value, 'g', 15); }

QString gridBase(const QString &gridName, int arrayIndex) {
    return arrayIndex < 0 ? gridName : gridName + QLatin1Char('_') + QString::number(arrayIndex);
}

FormRect readFormRect(const QString &file, bool positionOnly) {
    const IniFile ini(file);
    FormRect r;
    const auto positive = [&](const char *key) -> std::optional<double> {
        const auto v = numeric(limited(ini, kPosition, QLatin1String(key)));
        return v && *v > 0 ? v : std::nullopt;
    };
    r.left = positive("Left");
    r.top = positive("Top");
    if (!positionOnly) {
        r.width = numeric(limited(ini, kPosition, QStringLiteral("Width")));
        r.height = numeric(limited(ini, kPosition, QStringLiteral("Height")));
        if (const auto s = numeric(limited(ini, kPosition, QStringLiteral("WindowState"))))
            r.state = int(*s);
    }
    return r;
}

bool writeFormRect(const QString &file, int state, const std::optional<FormRect> &rect) {
    IniFile ini(file);
    ini.setValue(kPosition, QStringLiteral("WindowState"), QString::number(state));
    if (rect) {
        const auto put = [&](const char *key, const std::optional<double> &v) {
            if (v)
                ini.setValue(kPosition, QLatin1String(key), numberText(*v));
        };
        put("Left", rect->left);
        put("Top", rect->top);
        put("Width", rect->width);
        put("Height", rect->height);
    }
    return ini.save();
}

GridLayout readGridLayout(const QString &file, const QString &base, int maxCols) {
    const IniFile ini(file);
    GridLayout g;
    for (int c = 1; c <= maxCols; ++c)
        if (const auto w = numeric(limited(ini, colsSection(base), QString::number(c))))
            g.colWidths[c] = *w;
    const auto positive = [&](const char *key) -> std::optional<double> {
        const double v = leadingNumber(limited(ini, generalSection(base), QLatin1String(key)));
        return v > 0 ? std::optional<double>(v) : std::nullopt;
    };
    g.fontSize = positive("FontSize");
    g.rowHeight = positive("RowHeight");
    return g;
}

bool writeColWidth(const QString &file, const QString &base, int col, double width) {
    return IniFile::write(file, colsSection(base), QString::number(col), numberText(width));
}

bool writeGeneral(const QString &file, const QString &base, const QString &key, const QString &value) {
    return IniFile::write(file, generalSection(base), key, value);
}

bool remove(const QString &fileName) {
    const QString p = path(fileName);
    return !QFile::exists(p) || QFile::remove(p);
}

} // namespace FormLayoutFile
