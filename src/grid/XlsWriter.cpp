#include "XlsWriter.h"
#include "CompoundFile.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <QStorageInfo>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr int kSheetRows = 65536;
constexpr int kMaxCols = 256;
constexpr int kMaxText = 32767;
constexpr int kMaxData = 8224; // record data limit; longer data goes on in Continue records
constexpr int kBlockRows = 32;
constexpr int kMaxSheets = 4000; // RRTabId, two bytes a sheet, stays within one record
constexpr quint16 kFirstCellXf = 16;

enum Rec : quint16 {
    rEof = 0x000A,
    rCalcCount = 0x000C,
    rCalcMode = 0x000D,
    rCalcPrecision = 0x000E,
    rCalcRefMode = 0x000F,
    rCalcDelta = 0x0010,
    rCalcIter = 0x0011,
    rProtect = 0x0012,
    rPassword = 0x0013,
    rHeader = 0x0014,
    rFooter = 0x0015,
    rWinProtect = 0x0019,
    rDate1904 = 0x0022,
    rPrintRowCol = 0x002A,
    rPrintGrid = 0x002B,
    rFont = 0x0031,
    rContinue = 0x003C,
    rWindow1 = 0x003D,
    rBackup = 0x0040,
    rCodePage = 0x0042,
    rDefColWidth = 0x0055,
    rWriteAccess = 0x005C,
    rCalcSaveRecalc = 0x005F,
    rColInfo = 0x007D,
    rGuts = 0x0080,
    rWsBool = 0x0081,
    rGridSet = 0x0082,
    rHCenter = 0x0083,
    rVCenter = 0x0084,
    rBoundSheet = 0x0085,
    rCountry = 0x008C,
    rHideObj = 0x008D,
    rSetup = 0x00A1,
    rMms = 0x00C1,
    rDbCell = 0x00D7,
    rBookBool = 0x00DA,
    rXf = 0x00E0,
    rInterfaceHdr = 0x00E1,
    rInterfaceEnd = 0x00E2,
    rSst = 0x00FC,
    rLabelSst = 0x00FD,
    rExtSst = 0x00FF,
    rRRTabId = 0x013D,
    rUsesElfs = 0x0160,
    rDsf = 0x0161,
    rProt4Rev = 0x01AF,
    rRefreshAll = 0x01B7,
    rProt4RevPass = 0x01BC,
    rDimensions = 0x0200,
    rRow = 0x0208,
    rIndex = 0x020B,
    rDefaultRowHeight = 0x0225,
    rWindow2 = 0x023E,
    rStyle = 0x0293,
    rBof = 0x0809,
    rFormat = 0x041E,
};

bool fitsLatin1(QStringView s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x100; });
}

// Little-endian bytes gathered in large pieces for the compound file; without one it only
// counts, which is how the layout is measured before anything is written.
class Out {
public:
    explicit Out(CompoundFileWriter *file) : m_file(file), m_buf(1 << 16) {}
    quint64 pos() const { return m_flushed + m_len; }
    bool failed() const { return m_failed; }

    void u8(quint8 v) { need(1)[0] = char(v); }
    void u16(quint16 v) { qToLittleEndian(v, need(2)); }
    void u32(quint32 v) { qToLittleEndian(v, need(4)); }
    void f64(double v) {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        qToLittleEndian(bits, need(8));
    }
    void zeros(int n) { std::memset(need(size_t(n)), 0, size_t(n)); }
    void raw(const char *data, size_t n) { std::memcpy(need(n), data, n); }
    void rec(quint16 type, int len) {
        u16(type);
        u16(quint16(len));
    }
    void chars(QStringView s, bool latin1) {
        for (qsizetype at = 0; at < s.size(); at += 4096) {
            const QStringView piece = s.mid(at, 4096);
            char *p = need(size_t(piece.size()) * (latin1 ? 1 : 2));
            for (QChar c : piece) {
                if (latin1) {
                    *p++ = char(c.unicode());
                } else {
                    qToLittleEndian(c.unicode(), p);
                    p += 2;
                }
            }
        }
    }
    // Short (1-byte count) or long (2-byte count) Unicode string, compressed when it can be.
    void string8(QStringView s) {
        const bool latin1 = fitsLatin1(s);
        u8(quint8(s.size()));
        u8(latin1 ? 0 : 1);
        chars(s, latin1);
    }
    void string16(QStringView s) {
        const bool latin1 = fitsLatin1(s);
        u16(quint16(s.size()));
        u8(latin1 ? 0 : 1);
        chars(s, latin1);
    }
    static int string8Size(QStringView s) { return 2 + int(s.size()) * (fitsLatin1(s) ? 1 : 2); }
    static int string16Size(QStringView s) { return 3 + int(s.size()) * (fitsLatin1(s) ? 1 : 2); }

    bool flush() {
        if (m_file && m_len && !m_failed && !m_file->write(m_buf.data(), qint64(m_len)))
            m_failed = true;
        m_flushed += m_len;
        m_len = 0;
        return !m_failed;
    }

private:
    char *need(size_t n) {
        if (m_len + n > m_buf.size())
            flush();
        char *p = m_buf.data() + m_len;
        m_len += n;
        return p;
    }
    CompoundFileWriter *m_file;
    std::vector<char> m_buf;
    size_t m_len = 0;
    quint64 m_flushed = 0;
    bool m_failed = false;
};

// The shared strings: every distinct text once, in one pool, found again by an open-addressing table.
class SharedStrings {
public:
    quint32 add(QStringView s) {
        const auto h = quint32(qHash(s));
        size_t slot = probe(s, h);
        if (m_slots[slot])
            return m_slots[slot] - 1;
        const quint32 index = size();
        m_pool.insert(m_pool.end(), s.utf16(), s.utf16() + s.size());
        m_start.push_back(m_pool.size());
        m_hash.push_back(h);
        m_slots[slot] = index + 1;
        if (size_t(size()) * 2 > m_slots.size())
            grow();
        return index;
    }
    quint32 find(QStringView s) const {
        const quint32 v = m_slots[probe(s, quint32(qHash(s)))];
        return v ? v - 1 : 0;
    }
    quint32 size() const { return quint32(m_hash.size()); }
    QStringView at(quint32 i) const {
        return QStringView(m_pool.data() + m_start[i], qsizetype(m_start[i + 1] - m_start[i]));
    }

private:
    size_t probe(QStringView s, quint32 h) const {
        const size_t mask = m_slots.size() - 1;
        for (size_t slot = h & mask;; slot = (slot + 1) & mask) {
            const quint32 v = m_slots[slot];
            if (!v || (m_hash[v - 1] == h && at(v - 1) == s))
                return slot;
        }
    }
    void grow() {
        std::vector<quint32> table(m_slots.size() * 2, 0);
        const size_t mask = table.size() - 1;
        for (quint32 i = 0; i < size(); ++i) {
            size_t slot = m_hash[i] & mask;
            while (table[slot])
                slot = (slot + 1) & mask;
            table[slot] = i + 1;
        }
        m_slots.swap(table);
    }
    std::vector<char16_t> m_pool;
    std::vector<size_t> m_start{0};
    std::vector<quint32> m_hash;
    std::vector<quint32> m_slots = std::vector<quint32>(4096, 0); // string index + 1, 0 empty
};

struct Block {
    quint32 rows = 0; // rows holding at least one cell
    quint32 cells = 0;
};

// One worksheet: which store rows it shows and where its records fall in the stream.
struct SheetPlan {
    QString name;
    int firstData = 0, dataRows = 0; // data rows firstData.. (counted from 0 after the header rows)
    quint32 rwMic = 0, rwMac = 0, colMic = 0, colMac = 0;
    std::vector<Block> blocks;
    quint64 offset = 0, size = 0, defColWidthPos = 0;
    std::vector<quint64> dbCells; // stream positions of the DBCell records of non-empty blocks
};

struct Job {
    Job(const SheetStore &s, const std::vector<XlsColumn> &c) : store(s), columns(c) {}
    const SheetStore &store;
    const std::vector<XlsColumn> &columns;
    int headerRows = 0;
    QString fontName;
    double fontSize = 9;
    quint16 rowTwips = 270;
    std::vector<SheetPlan> sheets;
    SharedStrings sst;
    quint32 cellCount = 0;

    // The store rows after the header rows that are written, when the grid hides some;
    // empty: every one of them.
    std::vector<int> shownRows;

    int storeRow(const SheetPlan &p, int sheetRow) const {
        if (sheetRow < headerRows)
            return sheetRow + 1;
        const int data = p.firstData + sheetRow - headerRows;
        return shownRows.empty() ? headerRows + 1 + data : shownRows[size_t(data)];
    }
    // Texts with half a surrogate pair, mended; readers refuse the whole file over one.
    QHash<quint64, QString> mended;
    mutable QString scratch;
    static quint64 key(int sheetCol, int row) { return quint64(quint32(sheetCol)) << 32 | quint32(row); }

    // Valid until the next call: a decoded text lives in the job's scratch.
    QStringView text(int col, int row) const {
        const int sheetCol = columns[size_t(col)].sheetCol;
        QStringView t = store.textView(sheetCol, row, scratch);
        if (!mended.isEmpty())
            if (const auto it = mended.constFind(key(sheetCol, row)); it != mended.constEnd())
                t = *it;
        if (t.size() <= kMaxText)
            return t;
        // Never leave half of a surrogate pair at the end.
        return t.left(t.at(kMaxText - 1).isHighSurrogate() ? kMaxText - 1 : kMaxText);
    }
    quint16 xfOf(int col, int row) const {
        const ResolvedFormat f = store.format(columns[size_t(col)].sheetCol, row);
        const int h = f.hAlign == HAlign::Center ? 1 : f.hAlign == HAlign::Right ? 2 : 0;
        const int v = f.vAlign == VAlign::Top ? 0 : f.vAlign == VAlign::Center ? 1 : 2;
        return quint16(kFirstCellXf + (f.bold ? 9 : 0) + h * 3 + v);
    }
};

void xf(Out &o, quint16 font, quint16 typeProt, quint8 align, quint8 used) {
    o.rec(rXf, 20);
    o.u16(font);
    o.u16(0); // General number format
    o.u16(typeProt);
    o.u8(align);
    o.u8(0); // no rotation
    o.u8(0); // no indent
    o.u8(used);
    o.zeros(8);                // no borders
    o.u16(0x40 | (0x41 << 7)); // pattern colours: system window text and background
}

void font(Out &o, const Job &job, bool bold) {
    o.rec(rFont, 14 + Out::string8Size(job.fontName));
    o.u16(quint16(std::lround(job.fontSize * 20)));
    o.u16(bold ? 1 : 0); // the weight says it; older readers look at this bit
    o.u16(0x7FFF);       // automatic colour
    o.u16(bold ? 700 : 400);
    o.u16(0);
    o.u8(0);
    o.u8(0);
    o.u8(1); // default character set: the name picks the script
    o.u8(0);
    o.string8(job.fontName);
}

void sst(Out &o, const Job &job) {
    const quint32 n = job.sst.size();
    const quint32 perBucket = std::max<quint32>(8, (n + 127) / 128);
    std::vector<std::pair<quint64, quint16>> buckets;
    std::vector<char> data;
    data.reserve(kMaxData);
    quint16 type = rSst;
    const auto put = [&data](const void *p, size_t len) {
        data.insert(data.end(), static_cast<const char *>(p), static_cast<const char *>(p) + len);
    };
    const auto flushRecord = [&] {
        o.rec(type, int(data.size()));
        o.raw(data.data(), data.size());
        data.clear();
        type = rContinue;
    };
    const auto put16 = [&put](quint16 v) {
        const quint16 le = qToLittleEndian(v);
        put(&le, 2);
    };
    const quint32 counts[2] = {qToLittleEndian(job.cellCount), qToLittleEndian(n)};
    put(counts, 8);
    for (quint32 i = 0; i < n; ++i) {
        QStringView s = job.sst.at(i);
        const bool latin1 = fitsLatin1(s);
        const size_t unit = latin1 ? 1 : 2;
        // The count and option byte stay together; a string starts where at least one character fits.
        if (data.size() + 3 + unit > size_t(kMaxData))
            flushRecord();
        if (i % perBucket == 0)
            buckets.emplace_back(o.pos() + 4 + data.size(), quint16(4 + data.size()));
        put16(quint16(s.size()));
        const char flags = latin1 ? 0 : 1;
        put(&flags, 1);
        for (;;) {
            const auto fit = qsizetype((size_t(kMaxData) - data.size()) / unit);
            const QStringView piece = s.left(fit);
            for (QChar c : piece) {
                if (latin1) {
                    const char b = char(c.unicode());
                    put(&b, 1);
                } else {
                    put16(c.unicode());
                }
            }
            s = s.mid(piece.size());
            if (s.isEmpty())
                break;
            // The rest goes on in a Continue record that opens with the option byte again.
            flushRecord();
            put(&flags, 1);
        }
    }
    flushRecord();
    o.rec(rExtSst, 2 + 8 * int(buckets.size()));
    o.u16(quint16(perBucket));
    for (const auto &[streamPos, inRecord] : buckets) {
        o.u32(quint32(streamPos));
        o.u16(inRecord);
        o.u16(0);
    }
}

void globals(Out &o, const Job &job) {
    const auto simple = [&o](quint16 type, quint16 value) {
        o.rec(type, 2);
        o.u16(value);
    };
    o.rec(rBof, 16);
    o.u16(0x0600);
    o.u16(0x0005);
    o.u16(0x0DBB);
    o.u16(0x07CC);
    o.u32(0x00000009); // last edited on Windows
    o.u32(0x00000006); // readable from BIFF8 on
    simple(rInterfaceHdr, 1200);
    simple(rMms, 0);
    o.rec(rInterfaceEnd, 0);
    o.rec(rWriteAccess, 112);
    const QString user = QStringLiteral("MobileShop");
    o.string16(user);
    o.raw(QByteArray(112 - Out::string16Size(user), ' ').constData(), size_t(112 - Out::string16Size(user)));
    simple(rCodePage, 1200);
    simple(rDsf, 0);
    o.rec(rRRTabId, 2 * int(job.sheets.size()));
    for (size_t i = 0; i < job.sheets.size(); ++i)
        o.u16(quint16(i + 1));
    for (quint16 type : {rWinProtect, rProtect, rPassword, rProt4Rev, rProt4RevPass})
        simple(type, 0);
    o.rec(rWindow1, 18);
    o.u16(0);
    o.u16(0);
    o.u16(16000);
    o.u16(9000);
    o.u16(0x0038); // scroll bars and sheet tabs shown
    o.u16(0);
    o.u16(0);
    o.u16(1);
    o.u16(600);
    simple(rBackup, 0);
    simple(rHideObj, 0);
    simple(rDate1904, 0);
    simple(rCalcPrecision, 1);
    simple(rRefreshAll, 0);
    simple(rBookBool, 0);
    for (int i = 0; i < 4; ++i)
        font(o, job, false);
    font(o, job, true); // index 5
    static const std::pair<quint16, const char16_t *> formats[] = {
        {5, u"\"₩\"#,##0;\\-\"₩\"#,##0"},
        {6, u"\"₩\"#,##0;[Red]\\-\"₩\"#,##0"},
        {7, u"\"₩\"#,##0.00;\\-\"₩\"#,##0.00"},
        {8, u"\"₩\"#,##0.00;[Red]\\-\"₩\"#,##0.00"},
        {42, u"_-\"₩\"* #,##0_-;\\-\"₩\"* #,##0_-;_-\"₩\"* \"-\"_-;_-@_-"},
        {41, u"_-* #,##0_-;\\-* #,##0_-;_-* \"-\"_-;_-@_-"},
        {44, u"_-\"₩\"* #,##0.00_-;\\-\"₩\"* #,##0.00_-;_-\"₩\"* \"-\"??_-;_-@_-"},
        {43, u"_-* #,##0.00_-;\\-* #,##0.00_-;_-* \"-\"??_-;_-@_-"},
    };
    for (const auto &[id, code] : formats) {
        const QStringView s(code);
        o.rec(rFormat, 2 + Out::string16Size(s));
        o.u16(id);
        o.string16(s);
    }
    // Style XFs: Normal, then the fourteen outline styles that only name a font.
    static const quint16 styleFonts[15] = {0, 1, 1, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 15; ++i)
        xf(o, styleFonts[i], 0xFFF5, 0x20, i ? 0xF4 : 0);
    xf(o, 0, 0x0001, 0x20, 0); // the default cell XF
    // Cell XFs: bold x (left, centre, right) x (top, centre, bottom), font and alignment their own.
    for (int bold = 0; bold < 2; ++bold)
        for (int h = 0; h < 3; ++h)
            for (int v = 0; v < 3; ++v)
                xf(o, bold ? 5 : 0, 0x0001, quint8((h + 1) | (v << 4)), 0x18);
    o.rec(rStyle, 4);
    o.u16(0x8000); // built-in, XF 0
    o.u8(0);       // Normal
    o.u8(0xFF);
    simple(rUsesElfs, 0);
    for (const SheetPlan &p : job.sheets) {
        o.rec(rBoundSheet, 6 + Out::string8Size(p.name));
        o.u32(quint32(p.offset));
        o.u8(0); // visible
        o.u8(0); // worksheet
        o.string8(p.name);
    }
    o.rec(rCountry, 4);
    o.u16(82);
    o.u16(82);
    sst(o, job);
    o.rec(rEof, 0);
}

// Column widths in 1/256 of a character, consecutive equal ones in one record.
std::vector<std::pair<int, quint16>> widthRuns(const Job &job) {
    std::vector<std::pair<int, quint16>> runs; // first column, width
    for (size_t c = 0; c < job.columns.size(); ++c) {
        const auto w = quint16(std::clamp(std::lround(job.columns[c].widthChars * 256), 0L, 65280L));
        if (runs.empty() || runs.back().second != w)
            runs.emplace_back(int(c), w);
    }
    if (runs.size() > 255) // a sheet takes at most 255
        runs.pop_back();
    return runs;
}

// BOF through Dimensions; returns the offset of DefColWidth from the sheet's start.
quint64 sheetHead(Out &o, const Job &job, const SheetPlan &p) {
    const quint64 start = o.pos();
    const auto simple = [&o](quint16 type, quint16 value) {
        o.rec(type, 2);
        o.u16(value);
    };
    o.rec(rBof, 16);
    o.u16(0x0600);
    o.u16(0x0010);
    o.u16(0x0DBB);
    o.u16(0x07CC);
    o.u32(0x00000009);
    o.u32(0x00000006);
    o.rec(rIndex, 16 + 4 * int(p.dbCells.size()));
    o.u32(0);
    o.u32(p.rwMic);
    o.u32(p.rwMac);
    o.u32(quint32(p.defColWidthPos));
    for (quint64 pos : p.dbCells)
        o.u32(quint32(pos));
    simple(rCalcMode, 1);
    simple(rCalcCount, 100);
    simple(rCalcRefMode, 1);
    simple(rCalcIter, 0);
    o.rec(rCalcDelta, 8);
    o.f64(0.001);
    simple(rCalcSaveRecalc, 1);
    simple(rPrintRowCol, 0);
    simple(rPrintGrid, 0);
    simple(rGridSet, 1);
    o.rec(rGuts, 8);
    o.zeros(8);
    o.rec(rDefaultRowHeight, 4);
    o.u16(0);
    o.u16(job.rowTwips);
    simple(rWsBool, 0x04C1);
    o.rec(rHeader, 0);
    o.rec(rFooter, 0);
    simple(rHCenter, 0);
    simple(rVCenter, 0);
    o.rec(rSetup, 34);
    o.u16(9); // A4
    o.u16(100);
    o.u16(1);
    o.u16(1);
    o.u16(1);
    o.u16(0x0002); // portrait
    o.u16(600);
    o.u16(600);
    o.f64(0.5);
    o.f64(0.5);
    o.u16(1);
    const quint64 defColWidth = o.pos() - start;
    simple(rDefColWidth, 8);
    const auto runs = widthRuns(job);
    for (size_t i = 0; i < runs.size(); ++i) {
        const int last = i + 1 < runs.size() ? runs[i + 1].first - 1 : int(job.columns.size()) - 1;
        o.rec(rColInfo, 12);
        o.u16(quint16(runs[i].first));
        o.u16(quint16(last));
        o.u16(runs[i].second);
        o.u16(15);
        o.u16(runs[i].second ? 0x0002 : 0x0003); // own width; hidden when zero
        o.u16(0);
    }
    o.rec(rDimensions, 14);
    o.u32(p.rwMic);
    o.u32(p.rwMac);
    o.u16(quint16(p.colMic));
    o.u16(quint16(p.colMac));
    o.u16(0);
    return defColWidth;
}

void sheetTail(Out &o, bool first) {
    o.rec(rWindow2, 18);
    o.u16(first ? 0x06B6 : 0x00B6); // grid, headers, zeros, outline symbols; the first selected and shown
    o.u16(0);
    o.u16(0);
    o.u32(64);
    o.u16(0);
    o.u16(0);
    o.u32(0);
    o.rec(rEof, 0);
}

QString mend(QStringView s) {
    QString out = s.toString();
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate())
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

// The first pass: strings, cuts, mended texts, blocks and dimensions of every sheet.
void survey(Job &job, std::vector<XlsCut> &cut, std::vector<XlsCell> &mended) {
    QString scratch;
    const int ncols = int(job.columns.size());
    for (size_t k = 0; k < job.sheets.size(); ++k) {
        SheetPlan &p = job.sheets[k];
        const int rows = job.headerRows + p.dataRows;
        p.blocks.assign(size_t((rows + kBlockRows - 1) / kBlockRows), Block{});
        bool any = false;
        for (int r = 0; r < rows; ++r) {
            const int row = job.storeRow(p, r);
            quint32 n = 0;
            for (int c = 0; c < ncols; ++c) {
                const int sheetCol = job.columns[size_t(c)].sheetCol;
                const QStringView full = job.store.textView(sheetCol, row, scratch);
                if (full.isEmpty())
                    continue;
                const bool firstTime = k == 0 || r >= job.headerRows;
                if (full.size() > kMaxText && firstTime)
                    cut.push_back({sheetCol, row, int(full.size())});
                if (!full.isValidUtf16() && job.mended.find(Job::key(sheetCol, row)) == job.mended.end()) {
                    job.mended.insert(Job::key(sheetCol, row), mend(full));
                    mended.push_back({sheetCol, row});
                }
                job.sst.add(job.text(c, row));
                ++n;
                p.colMic = any ? std::min(p.colMic, quint32(c)) : quint32(c);
                p.colMac = std::max(p.colMac, quint32(c + 1));
                any = true;
            }
            if (n) {
                Block &b = p.blocks[size_t(r / kBlockRows)];
                ++b.rows;
                b.cells += n;
                if (!p.rwMac)
                    p.rwMic = quint32(r);
                p.rwMac = quint32(r + 1);
                job.cellCount += n;
            }
        }
    }
}

// Record positions from the survey: where each sheet and each DBCell lands.
void place(Job &job, quint64 globalsSize) {
    quint64 at = globalsSize;
    for (size_t k = 0; k < job.sheets.size(); ++k) {
        SheetPlan &p = job.sheets[k];
        p.offset = at;
        p.dbCells.assign(size_t(std::count_if(p.blocks.begin(), p.blocks.end(), [](const Block &b) { return b.rows; })),
                         0);
        Out count(nullptr);
        p.defColWidthPos = at + sheetHead(count, job, p);
        quint64 pos = at + count.pos();
        size_t i = 0;
        for (const Block &b : p.blocks) {
            if (!b.rows)
                continue;
            pos += 20ull * b.rows + 14ull * b.cells;
            p.dbCells[i++] = pos;
            pos += 8 + 2ull * b.rows;
        }
        Out tail(nullptr);
        sheetTail(tail, k == 0);
        p.size = pos + tail.pos() - at;
        at += p.size;
    }
}

// The second pass: one sheet's records, front to back.
bool writeSheet(Out &o, const Job &job, const SheetPlan &p, bool first) {
    QString scratch;
    if (o.pos() != p.offset)
        return false;
    sheetHead(o, job, p);
    const int ncols = int(job.columns.size());
    const int rows = job.headerRows + p.dataRows;
    size_t dbCell = 0;
    for (size_t b = 0; b < p.blocks.size(); ++b) {
        if (!p.blocks[b].rows)
            continue;
        const int r0 = int(b) * kBlockRows, r1 = std::min(rows, r0 + kBlockRows);
        const quint64 firstRow = o.pos();
        for (int r = r0; r < r1; ++r) {
            const int row = job.storeRow(p, r);
            int lo = -1, hi = -1;
            for (int c = 0; c < ncols; ++c)
                if (!job.store.textView(job.columns[size_t(c)].sheetCol, row, scratch).isEmpty()) {
                    lo = lo < 0 ? c : lo;
                    hi = c;
                }
            if (lo < 0)
                continue;
            o.rec(rRow, 16);
            o.u16(quint16(r));
            o.u16(quint16(lo));
            o.u16(quint16(hi + 1));
            o.u16(job.rowTwips);
            o.u32(0);
            o.u32(0x000F0100); // default XF 15 and the bit that must be set
        }
        std::vector<quint16> offsets;
        quint64 prevCell = firstRow + 20;
        for (int r = r0; r < r1; ++r) {
            const int row = job.storeRow(p, r);
            bool rowStarted = false;
            for (int c = 0; c < ncols; ++c) {
                const QStringView t = job.text(c, row);
                if (t.isEmpty())
                    continue;
                if (!rowStarted) {
                    offsets.push_back(quint16(o.pos() - prevCell));
                    prevCell = o.pos();
                    rowStarted = true;
                }
                o.rec(rLabelSst, 10);
                o.u16(quint16(r));
                o.u16(quint16(c));
                o.u16(job.xfOf(c, row));
                o.u32(job.sst.find(t));
            }
        }
        if (o.pos() != p.dbCells[dbCell++])
            return false;
        o.rec(rDbCell, 4 + 2 * int(offsets.size()));
        o.u32(quint32(o.pos() - 4 - firstRow));
        for (quint16 off : offsets)
            o.u16(off);
        if (o.failed())
            return false;
    }
    sheetTail(o, first);
    return o.pos() == p.offset + p.size;
}

QString cleanSheetName(const QString &name) {
    QString s = name;
    for (QChar &c : s)
        if (QStringView(u":\\/?*[]").contains(c))
            c = u'_';
    if (s.isEmpty())
        s = QStringLiteral("Sheet1");
    if (s.startsWith(u'\''))
        s[0] = u'_';
    if (s.endsWith(u'\''))
        s[s.size() - 1] = u'_';
    return s;
}

// At most n UTF-16 units without splitting a surrogate pair.
QString leftUnits(const QString &s, int n) {
    if (s.size() <= n)
        return s;
    return s.left(s.at(n - 1).isHighSurrogate() ? n - 1 : n);
}
} // namespace

QString xlsSheetName(const QString &base, int number) {
    const QString clean = cleanSheetName(base);
    if (number <= 1)
        return cleanSheetName(leftUnits(clean, 31));
    const QString suffix = QStringLiteral(" (%1)").arg(number);
    return cleanSheetName(leftUnits(clean, 31 - int(suffix.size()))) + suffix;
}

XlsResult writeXls(const SheetStore &sheet, int lastRow, const std::vector<XlsColumn> &columns,
                   const XlsOptions &options, QIODevice &out) {
    XlsResult result;
    lastRow = std::clamp(lastRow, 0, sheet.maxRows());
    const int headerRows = std::clamp(options.headerRows, 0, lastRow);
    if (int(columns.size()) > kMaxCols) {
        result.error = QStringLiteral("열이 %1개를 넘습니다").arg(kMaxCols);
        return result;
    }
    if (headerRows >= kSheetRows) {
        result.error = QStringLiteral("머리글 행이 너무 많습니다");
        return result;
    }
    Job job(sheet, columns);
    job.headerRows = headerRows;
    job.fontName = (options.fontName.isEmpty() ? QStringLiteral("Arial") : options.fontName).left(31);
    job.fontSize = std::clamp(options.fontSize, 1.0, 409.0);
    job.rowTwips = quint16(std::clamp(std::lround(job.fontSize * 1.5 * 20), 2L, 8192L));

    // Rows the user hid (Ctrl+E) are left out, as the screen leaves them out.
    int dataRows = lastRow - headerRows;
    for (int r = headerRows + 1; r <= lastRow; ++r)
        if (sheet.rowHidden(r)) {
            for (int s = headerRows + 1; s <= lastRow; ++s)
                if (!sheet.rowHidden(s))
                    job.shownRows.push_back(s);
            dataRows = int(job.shownRows.size());
            break;
        }
    const int perSheet = kSheetRows - headerRows;
    const int count = std::max(1, (dataRows + perSheet - 1) / perSheet);
    if (count > kMaxSheets) {
        result.error = QStringLiteral("시트가 너무 많습니다");
        return result;
    }
    for (int k = 0; k < count; ++k) {
        SheetPlan p;
        p.name = xlsSheetName(options.sheetName, k + 1);
        p.firstData = k * perSheet;
        p.dataRows = std::min(perSheet, dataRows - k * perSheet);
        job.sheets.push_back(std::move(p));
    }
    survey(job, result.cut, result.mended);
    {
        Out count(nullptr);
        globals(count, job);
        place(job, count.pos());
    }
    const SheetPlan &last = job.sheets.back();
    const quint64 total = last.offset + last.size;
    if (total > CompoundFileWriter::kMaxStream) {
        result.error = QStringLiteral("파일이 너무 큽니다 (4GB 초과)");
        return result;
    }

    result.bytes = CompoundFileWriter::fileSize(total);
    CompoundFileWriter file(out, QStringLiteral("Workbook"), total);
    Out o(&file);
    bool ok = file.begin();
    if (ok) {
        globals(o, job);
        for (size_t k = 0; ok && k < job.sheets.size(); ++k)
            ok = writeSheet(o, job, job.sheets[k], k == 0);
        ok = o.flush() && ok && file.finish();
    }
    if (!ok) {
        result.error =
            file.errorString().isEmpty() ? QStringLiteral("내부 오류: 레코드 위치 불일치") : file.errorString();
        result.cut.clear();
        result.mended.clear();
        return result;
    }
    result.ok = true;
    result.sheets = int(job.sheets.size());
    result.rows = headerRows + dataRows;
    result.cols = int(columns.size());
    return result;
}

namespace {
// The system's own words for a full disk are often none ("Unknown error"): when the failed
// file would not fit in what the disk has left, say so.
void nameFullDisk(XlsResult &r, const QString &file) {
    const QStorageInfo disk(QFileInfo(file).absolutePath());
    if (r.bytes == 0 || !disk.isValid() || disk.bytesAvailable() < 0 || quint64(disk.bytesAvailable()) >= r.bytes)
        return;
    const QLocale korean(QLocale::Korean);
    r.error = QStringLiteral("디스크 공간이 부족합니다: 파일에 %1이 필요한데 %2만 남아 있습니다 (%3)")
                  .arg(korean.formattedDataSize(qint64(r.bytes), 1, QLocale::DataSizeTraditionalFormat),
                       korean.formattedDataSize(disk.bytesAvailable(), 1, QLocale::DataSizeTraditionalFormat),
                       QDir::toNativeSeparators(disk.rootPath()));
}
} // namespace

XlsResult writeXlsFile(const SheetStore &sheet, int lastRow, const std::vector<XlsColumn> &columns,
                       const XlsOptions &options, const QString &file) {
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) {
        XlsResult r;
        r.error = QStringLiteral("파일을 만들 수 없습니다: %1").arg(f.errorString());
        return r;
    }
    XlsResult r = writeXls(sheet, lastRow, columns, options, f);
    if (!r.ok) {
        f.cancelWriting();
        nameFullDisk(r, file);
        return r;
    }
    if (!f.commit()) {
        const quint64 bytes = r.bytes;
        r = XlsResult{};
        r.error = QStringLiteral("파일을 저장할 수 없습니다: %1").arg(f.errorString());
        r.bytes = bytes;
        nameFullDisk(r, file);
    }
    return r;
}
