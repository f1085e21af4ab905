#include "FrmSPPrint_HeaderFooter.h"
#include "PrintRequest.h"
#include "Prompter.h"
#include "SheetModel.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QColor kButtonBorder(192, 192, 192);
const QColor kPageNumberColor(128, 128, 128);
constexpr int kTextCols[] = {1, 3, 5};

HeaderFooterCode::Font tableFont() { return {QStringLiteral("굴림체"), 10}; }

QLabel *label(QWidget *parent, const char *name, const QStringList &lines) {
    auto *l = new QLabel(lines.join(QLatin1Char('\n')), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}
} // namespace

FrmSPPrint_HeaderFooter::FrmSPPrint_HeaderFooter(const PrintRequest &request, QWidget *parent)
    : QDialog(parent), m_request(request), m_table(tableFont()) {
    setObjectName(QStringLiteral("FrmSPPrint_HeaderFooter"));
    setWindowTitle(QStringLiteral("Change Header/Footer Attributes"));
    SheetPrinter::installFontSubstitutes(); // the job's 굴림체 shows in a Korean font
    buildWindow();
    InitSpread();
    Command3->setEnabled(false);
    Option3[0]->setChecked(true);
}

void FrmSPPrint_HeaderFooter::buildWindow() {
    Label2 = label(this, "Label2",
                   {QStringLiteral("To customize header or footer text:"),
                    QStringLiteral("1. Choose to apply text to the Header or Footer"),
                    QStringLiteral("2. Enter your text below and press the OK button to save your changes")});
    Label3 = label(
        this, "Label3",
        {QStringLiteral("- Text in the first column will be left justified, center column will be centered, "
                        "and the right column will be right justified"),
         QStringLiteral("- You can change the font characteristics by pressing the button next to the selected cell"),
         QStringLiteral("Press the Save button before changing the 'Apply to' to avoid losing your changes")});
    Label1 = label(this, "Label1",
                   {QStringLiteral("To Insert Page Numbers:"),
                    QStringLiteral("Right click the mouse to insert/remove page numbering to the highlighted cell")});

    Frame1 = new QGroupBox(QStringLiteral("Apply to"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QVBoxLayout(Frame1);
    const char *options[2] = {"Header Text", "FooterText"};
    for (int i = 0; i < 2; ++i) {
        Option3[i] = new QRadioButton(QLatin1String(options[i]), Frame1);
        Option3[i]->setObjectName(QStringLiteral("Option3_%1").arg(i));
        frameLayout->addWidget(Option3[i]);
        connect(Option3[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option3_Click(i);
        });
    }

    const auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button("Command1", QStringLiteral("OK"));
    Command2 = button("Command2", QStringLiteral("Cancel"));
    Command3 = button("Command3", QStringLiteral("Save Header Text"));
    Command4 = button("Command4", QStringLiteral("Reset Text"));
    Command5 = button("Command5", QStringLiteral("기본값"));
    // Room for the longer of the Save captions, which change with the choice.
    Command3->setMinimumWidth(Command3->fontMetrics().horizontalAdvance(QStringLiteral("Save Footer Text")) + 24);
    connect(Command1, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &FrmSPPrint_HeaderFooter::Command5_Click);

    fpSpread1 = new Spread(this);
    fpSpread1->setObjectName(QStringLiteral("fpSpread1"));
    connect(fpSpread1, &Spread::buttonClicked, this, &FrmSPPrint_HeaderFooter::fpSpread1_ButtonClicked);
    connect(fpSpread1, &Spread::rightClicked, this, [this](int col, int row) {
        if (col > 0 && row > 0)
            fpSpread1_RightClick();
    });
    connect(fpSpread1, &Spread::editMode, this, [this](int, int, bool entering) {
        if (entering)
            Command3->setEnabled(true);
    });
    connect(fpSpread1->sheetModel(), &SheetModel::dataChanged, this, &FrmSPPrint_HeaderFooter::takeEdits);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {Command1, Command2, Command3, Command4, Command5})
        buttons->addWidget(b);
    buttons->addStretch();

    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(Label2, 0, 0, Qt::AlignTop);
    grid->addWidget(Frame1, 0, 1);
    grid->addWidget(Label3, 1, 0, 1, 2);
    grid->addWidget(fpSpread1, 2, 0, Qt::AlignTop);
    grid->addLayout(buttons, 2, 1);
    grid->addWidget(Label1, 3, 0, 1, 2);
}

void FrmSPPrint_HeaderFooter::InitSpread() {
    Spread *s = fpSpread1;
    s->setMaxCols(6);
    s->setMaxRows(HeaderFooterTable::kRows);
    s->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                       QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    s->setSelectionMode(QAbstractItemView::SingleSelection);
    s->setTextTip(true); // a long title shows whole over its cell
    s->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s->setColWidth(0, 5);
    const char *headers[] = {"Left Justify", "Center", "Right Justify"};
    for (int i = 0; i < 3; ++i) {
        const int text = kTextCols[i], button = text + 1;
        s->setColWidth(text, 20);
        s->setText(text, 0, QLatin1String(headers[i]));
        s->setCellType(text, -1, CellType::Edit);
        s->setColWidth(button, 3);
        s->setText(button, 0, QString());
        s->setCellType(button, -1, CellType::Button);
        s->setFontBold(button, -1, true);
        s->setBorderColor(button, -1, kButtonBorder);
        for (int row = 1; row <= HeaderFooterTable::kRows; ++row)
            s->setText(button, row, QStringLiteral("..."));
    }
    for (int row = 1; row <= HeaderFooterTable::kRows; ++row)
        s->setText(0, row, QStringLiteral("Line %1").arg(row));
    showTable();
}

bool FrmSPPrint_HeaderFooter::headerSelected() const { return Option3[0]->isChecked(); }

void FrmSPPrint_HeaderFooter::GetHeaderDetail(const QString &detailtext) {
    const HeaderFooterTable::ReadResult r = m_table.read(detailtext);
    m_linesDropped = r.linesDropped;
    showTable();
    if (!r.error.isEmpty())
        prompter().message(Prompter::Icon::None, QStringLiteral("GetHeaderDetail"), r.error);
}

void FrmSPPrint_HeaderFooter::loadText(const QString &text) {
    GetHeaderDetail(text);
    if (m_linesDropped)
        prompter().message(Prompter::Icon::Warning, QStringLiteral("머릿말/꼬릿말"),
                           QStringLiteral("머릿말/꼬릿말이 9줄을 넘습니다. 10번째 줄부터는 표에 보이지 않으며 저장하면 "
                                          "없어집니다."));
}

void FrmSPPrint_HeaderFooter::AddCellData(int column) {
    m_table.addCellData(column);
    showTable();
}

QString FrmSPPrint_HeaderFooter::GetCellData(int column, int row) const { return m_table.cellCode(column, row); }

void FrmSPPrint_HeaderFooter::SaveConfiguration() {
    fpSpread1->endEdit();
    QCoreApplication::processEvents();
    const QString text = m_table.write();
    if (Spread *grid = m_request.grid)
        (headerSelected() ? grid->printProps().header : grid->printProps().footer) = text;
}

void FrmSPPrint_HeaderFooter::showCell(int col, int row) {
    const HeaderFooterTable::Cell &c = m_table.cell(col, row);
    Spread *s = fpSpread1;
    m_showing = true;
    s->setCellType(col, row, c.pageNumber ? CellType::StaticText : CellType::Edit);
    s->setForeColor(col, row, c.pageNumber ? kPageNumberColor : QColor(Qt::black));
    s->setFontName(col, row, c.font.name);
    s->setFontSize(col, row, c.font.size);
    s->setFontBold(col, row, c.font.bold);
    s->setFontItalic(col, row, c.font.italic);
    s->setFontUnderline(col, row, c.font.underline);
    s->setFontStrikeout(col, row, c.font.strike);
    s->setText(col, row, c.text);
    m_showing = false;
}

void FrmSPPrint_HeaderFooter::showTable() {
    for (int row = 1; row <= HeaderFooterTable::kRows; ++row)
        for (int col : kTextCols)
            showCell(col, row);
    fitTable();
}

// Rows as high as their largest font and the table as large as its rows: nothing scrolls
// and nothing is cut off.
void FrmSPPrint_HeaderFooter::fitTable() {
    Spread *s = fpSpread1;
    const double dpi = s->logicalDpiY();
    for (int row = 1; row <= HeaderFooterTable::kRows; ++row) {
        double points = s->rowHeight(-1);
        for (int col : kTextCols) {
            const QVariant font = s->model()->index(row - 1, col - 1).data(Qt::FontRole);
            const QFontMetrics fm(font.isValid() ? font.value<QFont>() : s->font());
            points = std::max(points, (fm.height() + 4) * 72.0 / dpi);
        }
        if (std::abs(points - s->rowHeight(row)) > 0.01)
            s->setRowHeight(row, points);
    }
    int width = s->verticalHeader()->width() + 2 * s->frameWidth();
    for (int c = 0; c < s->maxCols(); ++c)
        width += s->horizontalHeader()->sectionSize(c);
    int height = s->horizontalHeader()->height() + 2 * s->frameWidth();
    for (int r = 0; r < s->maxRows(); ++r)
        height += s->verticalHeader()->sectionSize(r);
    s->setFixedSize(width, height);
}

void FrmSPPrint_HeaderFooter::takeEdits(const QModelIndex &topLeft, const QModelIndex &bottomRight) {
    if (m_showing)
        return;
    for (int row = topLeft.row() + 1; row <= bottomRight.row() + 1; ++row)
        for (int col = topLeft.column() + 1; col <= bottomRight.column() + 1; ++col)
            if (HeaderFooterTable::isTextColumn(col) && !m_table.cell(col, row).pageNumber)
                m_table.setText(col, row, fpSpread1->text(col, row));
}

void FrmSPPrint_HeaderFooter::fpSpread1_ButtonClicked(int col, int row) {
    const int textCol = col - 1;
    if (!HeaderFooterTable::isTextColumn(textCol))
        return;
    const HeaderFooterCode::Font current = m_table.cell(textCol, row).font;
    QFont initial(current.name);
    if (current.size > 0)
        initial.setPointSizeF(current.size);
    initial.setBold(current.bold);
    initial.setItalic(current.italic);
    initial.setUnderline(current.underline);
    initial.setStrikeOut(current.strike);
    const std::optional<QFont> chosen = prompter().font(initial);
    if (!chosen)
        return;
    HeaderFooterCode::Font f = current;
    f.name = chosen->family();
    if (chosen->pointSizeF() > 0)
        f.size = chosen->pointSizeF();
    f.bold = chosen->bold();
    f.italic = chosen->italic();
    f.underline = chosen->underline();
    f.strike = chosen->strikeOut();
    m_table.setFont(textCol, row, f);
    showCell(textCol, row);
    fitTable();
    Command3->setEnabled(true);
}

void FrmSPPrint_HeaderFooter::fpSpread1_RightClick() {
    fpSpread1->endEdit();
    const int col = fpSpread1->activeCol(), row = fpSpread1->activeRow();
    const auto result = m_table.togglePageNumber(col, row, [] {
        return prompter().question(QStringLiteral("Replace Existing Text"),
                                   QStringLiteral("Inserting page numbering in this cell will overwrite your exiting "
                                                  "text.  Do you want to replace the existing text with page numbers?"),
                                   false) == Prompter::Yes;
    });
    if (result == HeaderFooterTable::PageClick::Ignored || result == HeaderFooterTable::PageClick::Kept)
        return;
    showCell(col, row);
    Command3->setEnabled(true);
}

void FrmSPPrint_HeaderFooter::Option3_Click(int index) {
    for (int i = 0; i < 2; ++i) {
        QFont f = Option3[i]->font();
        f.setBold(i == index);
        Option3[i]->setFont(f);
    }
    Command3->setText(index == 0 ? QStringLiteral("Save Header Text") : QStringLiteral("Save Footer Text"));
    QString text;
    if (Spread *grid = m_request.grid)
        text = index == 0 ? grid->printProps().header : grid->printProps().footer;
    loadText(text);
    Command3->setEnabled(false);
}

void FrmSPPrint_HeaderFooter::Command1_Click() {
    SaveConfiguration();
    accept();
}

void FrmSPPrint_HeaderFooter::Command2_Click() { reject(); }

void FrmSPPrint_HeaderFooter::Command3_Click() {
    SaveConfiguration();
    Command3->setEnabled(false);
}

void FrmSPPrint_HeaderFooter::Command4_Click() {
    if (prompter().question(
            QStringLiteral("Clear Text"),
            QStringLiteral("Are you sure you want to clear the text and formatting for the selected header?"),
            false) != Prompter::Yes)
        return;
    if (Spread *grid = m_request.grid)
        (headerSelected() ? grid->printProps().header : grid->printProps().footer).clear();
    m_table.clearTexts();
    showTable();
}

void FrmSPPrint_HeaderFooter::Command5_Click() {
    loadText(headerSelected() ? m_request.fullHeader : m_request.fullFooter);
    Command3->setEnabled(true);
}
