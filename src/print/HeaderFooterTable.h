#pragma once
#include "HeaderFooterCode.h"
#include <QString>
#include <array>
#include <functional>

// The header/footer editor's table without its window: nine lines of a left, a centre and
// a right cell, each with its own font, read from and written back to the code language.
// Cells are addressed as in the editor's grid: columns 1, 3 and 5, rows 1 to 9.
class HeaderFooterTable {
public:
    using Font = HeaderFooterCode::Font;
    static constexpr int kRows = 9;
    static const QString kPageNumberText; // what a page-number field shows

    struct Cell {
        QString text;
        Font font;
        bool pageNumber = false;
    };
    struct ReadResult {
        QString error;             // empty when the text was read to its end
        bool linesDropped = false; // text on lines past the ninth, which the table cannot hold
    };

    explicit HeaderFooterTable(const Font &defaultFont);

    static bool isTextColumn(int col) { return col == 1 || col == 3 || col == 5; }
    const Cell &cell(int col, int row) const;
    void setText(int col, int row, const QString &text);
    void setFont(int col, int row, const Font &font);
    // Texts and page fields go; the fonts stay.
    void clearTexts();

    // Clears the texts and reads a code text into the table; what was read before an error
    // stays.
    ReadResult read(const QString &code);
    // The reading position: the cell of the current line in the column takes the current font.
    void addCellData(int col);
    // The codes of one cell, every font attribute spelled out; a typed "/" as "//".
    QString cellCode(int col, int row) const;
    // Every line up to the last holding text, each ended by a new line; "" when empty.
    QString write() const;

    enum class PageClick { Ignored, Inserted, Removed, Replaced, Kept };
    // A page field goes, an empty cell becomes one and a cell with text becomes one when
    // replaceText() agrees.
    PageClick togglePageNumber(int col, int row, const std::function<bool()> &replaceText);

private:
    static int indexOf(int col, int row); // -1 outside the text cells
    Cell *at(int col, int row);
    void setCurrentText(const QString &text, bool pageNumber);
    void addLiteral(const QString &text);
    bool readFontCode(const QString &code, qsizetype &pos, ReadResult &result);

    std::array<Cell, kRows * 3> m_cells;
    Font m_default;
    // Reading state.
    int m_row = 1, m_col = 1;
    Font m_font;
    std::array<Font, 10> m_stored;
    bool m_dropped = false;
    bool m_joinText = false; // the last thing read was text of the current cell
};
