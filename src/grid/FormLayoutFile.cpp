#include "FormLayoutFile.h"
#include "AppPaths.h"
#include "IniFile.h"
#include <QFile>
#include <QRegularExpression>
#include <cmath>

namespace FormLayoutFile {

namespace {
const QString kPosition = QStringLiteral("FormPosition");

QString limited(const IniFile &ini, const QString &section, const QString &key) {
    // The reads go through a 10-character buffer: 9 characters and the terminator.
    return ini.value(section, key).left(9).trimmed();
}

std::optional<double> within(const std::optional<double> &v, double low, double high) {
    return v && *v >= low && *v <= high ? v : std::nullopt;
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
    const auto stored = [&](const char *key) { return numeric(limited(ini, kPosition, QLatin1String(key))); };
    const auto position = [&](const char *key) -> std::optional<double> {
        const auto v = stored(key);
        return v && *v > 0 && *v <= kMaxPositionTwips ? v : std::nullopt;
    };
    r.left = position("Left");
    r.top = position("Top");
    if (!positionOnly) {
        r.width = within(stored("Width"), kMinSizeTwips, kMaxSizeTwips);
        r.height = within(stored("Height"), kMinSizeTwips, kMaxSizeTwips);
        if (const auto s = stored("WindowState"); s && (*s == 0 || *s == 1 || *s == 2))
            r.state = int(*s);
    }
    return r;
}

bool writeFormRect(const QString &file, int state, const std::optional<FormRect> &rect) {
    return IniFile::update(file, [&](IniFile &ini) {
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
        return true;
    });
}

GridLayout readGridLayout(const QString &file, const QString &base, int maxCols) {
    const IniFile ini(file);
    GridLayout g;
    for (int c = 1; c <= maxCols; ++c)
        if (const auto w = within(numeric(limited(ini, colsSection(base), QString::number(c))), 0, kMaxColWidthChars))
            g.colWidths[c] = *w;
    const auto general = [&](const char *key, double low, double high) {
        return within(leadingNumber(limited(ini, generalSection(base), QLatin1String(key))), low, high);
    };
    g.fontSize = general("FontSize", kMinFontSize, kMaxFontSize);
    g.rowHeight = general("RowHeight", kMinRowHeight, kMaxRowHeight);
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
