#pragma once
#include "ImportPlan.h"
#include "ImportWrite.h"
#include "SheetData.h"
#include <QDialog>
#include <QPointer>
#include <vector>

class PlanModel;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;

// "핸드폰 자료 가져오기": a file and its sheet, its first rows, each column's handset column,
// the match rule, then a preview of every row before "가져오기" writes anything.
class FrmHandsetImport : public QDialog {
    Q_OBJECT
public:
    explicit FrmHandsetImport(QWidget *parent = nullptr);
    ~FrmHandsetImport() override;

    // Reads file (its first sheet) as choosing it would.
    bool openFile(const QString &file);
    // Builds the preview from the file, the mapping and the match rule.
    bool preview();
    // Writes the preview; true when something was written.
    bool importRows();
    // Puts the catalogue back as it was before the last import: the backup program restores
    // the archive taken then, once the program has closed.
    bool undoImport();

    QLineEdit *txtFile = nullptr, *txtPictures = nullptr;
    QComboBox *cboSheet = nullptr, *cboEncoding = nullptr, *cboMatch = nullptr;
    QSpinBox *spnHeader = nullptr;
    QTableWidget *grdFirst = nullptr;
    std::vector<QComboBox *> cboMapping; // one per column of the file
    QTableView *grdPreview = nullptr;
    QLabel *lblCounts = nullptr;
    QPushButton *btnFile = nullptr, *btnPictures = nullptr, *btnPreview = nullptr, *btnImport = nullptr,
                *btnUndo = nullptr, *btnClose = nullptr;
    const ImportPlan::Plan &plan() const { return m_plan; }
    const ImportWrite::Outcome &lastImport() const { return m_done; }

private:
    bool readSheet();
    void showFirstRows();
    void buildMapping();
    void forgetPreview();
    std::function<bool(int)> progressOf(const QString &label, class QProgressDialog &dialog);

    QString m_file;
    SheetData::Read m_read;
    QWidget *m_mappingPanel = nullptr;
    QGridLayout *m_mappingGrid = nullptr;
    std::vector<ImportPlan::Existing> m_catalogue;
    ImportPlan::Plan m_plan;
    PlanModel *m_model = nullptr;
    ImportWrite::Outcome m_done;
    QPointer<QWidget> m_caller; // the list, searched again after an import (a modal show moves the parent)
};
