#pragma once
#include <QString>
#include <optional>
#include <vector>

// The page header and footer language of the grid's printing: "/" codes select fonts,
// alignment, new lines and page-number fields. This is its one reader and one writer.
namespace HeaderFooterCode {

struct Font {
    QString name;
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const Font &) const = default;
};

enum class Align { Left, Center, Right };

struct Run {
    enum Kind { Text, PageNumber, PageCount };
    Kind kind = Text;
    QString text; // Text runs only
    Font font;
    Align align = Align::Left;
    bool operator==(const Run &) const = default;
};

// One printed line; font is the one in effect at its end, which sets the height of an
// empty line.
struct Line {
    std::vector<Run> runs;
    Font font;
    bool operator==(const Line &) const = default;
};

using Document = std::vector<Line>;

// Reads a code text; an empty text gives no lines. Anything that does not read as a code
// (an unknown letter after "/", a value without its quotes) is kept as literal text, so a
// malformed text prints what can be read.
Document parse(const QString &code, const Font &defaultFont);

// Writes a document so that parse() with the same default font reads it back equal.
QString write(const Document &doc, const Font &defaultFont);

// The text of a run on a page, fields filled in.
QString runText(const Run &run, int page, int pageCount);

// Pieces of the language for readers and writers of single codes.
struct Quoted {
    QString value;
    qsizetype end = 0; // just after the closing quote
};
// The value in double quotes whose opening quote is at open; none when that is not a quote
// or the closing one does not follow within limit characters (-1: anywhere).
std::optional<Quoted> readQuoted(QStringView code, qsizetype open, qsizetype limit = -1);
// Where the next code ("/") after from starts, within limit characters; -1 when none does.
qsizetype nextCode(QStringView code, qsizetype from, qsizetype limit);
QString alignCode(Align a);
// Every attribute of the font, the size as a whole number.
QString fontCode(const Font &f);
inline constexpr QLatin1String kPageNumberCode("/p");

} // namespace HeaderFooterCode
