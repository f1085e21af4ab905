#pragma once
#include <QRgb>
#include <QString>
#include <QtGlobal>
#include <optional>

// What a cell shows and how it takes input.
enum class CellType : quint8 {
    Edit,       // text the user may type over (when not locked)
    StaticText, // text shown only
    Button,     // a push button carrying the cell text
    Picture,    // a picture loaded from a file, the cell text shown while there is none
};

// How a picture cell fits its picture; the flags combine.
enum PictureFit : quint8 {
    PictStretch = 1,       // scale to the cell
    PictCenter = 2,        // centre in the cell
    PictMaintainScale = 4, // keep the proportions while scaling
};

enum class HAlign : quint8 { Left, Center, Right };
enum class VAlign : quint8 { Top, Center, Bottom };

// One level of formatting: cell, column, header row or sheet. An unset field takes the
// value of the broader level; the sheet level has every field set but the colours, which
// default to the grid's style.
struct CellFormat {
    std::optional<CellType> type;
    std::optional<quint8> pictureFit;
    std::optional<HAlign> hAlign;
    std::optional<VAlign> vAlign;
    std::optional<bool> bold;
    std::optional<double> fontSize;
    std::optional<QString> fontName; // empty: the grid's font
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<bool> strikeout;
    std::optional<bool> locked;
    std::optional<QRgb> foreColor;
    std::optional<QRgb> borderColor; // a line drawn round the cell

    bool isEmpty() const {
        return !type && !pictureFit && !hAlign && !vAlign && !bold && !fontSize && !fontName && !italic && !underline &&
               !strikeout && !locked && !foreColor && !borderColor;
    }
};

// The fully resolved format of one cell.
struct ResolvedFormat {
    CellType type = CellType::Edit;
    quint8 pictureFit = 0;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Center;
    bool bold = false;
    double fontSize = 9;
    QString fontName;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool locked = false;
    std::optional<QRgb> foreColor;
    std::optional<QRgb> borderColor;

    bool sameFont(const ResolvedFormat &o) const {
        return bold == o.bold && fontSize == o.fontSize && fontName == o.fontName && italic == o.italic &&
               underline == o.underline && strikeout == o.strikeout;
    }
};
