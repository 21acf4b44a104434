#pragma once

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
namespace exchange {
class ImportPlan;
struct ColumnTarget;
} // namespace exchange

// File > Import Coins...: before anything is written, what each column of
// the file goes into (the user may change it), how amounts are read, the
// first coins as they will be stored, and what will be skipped. The plan
// holds the choices; the dialog shows them.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(QWidget* owner, exchange::ImportPlan& plan, const QString& fileName,
                 qsizetype coinsBefore);

    // The choices a column's box offers, in its order.
    static const std::vector<exchange::ColumnTarget>& targetChoices();

private:
    void refresh();
    void fillPreview(const std::vector<qsizetype>& rows);
    void fillRemarks();

    exchange::ImportPlan& m_plan;
    QString m_fileName;
    qsizetype m_coinsBefore;
    QLabel* m_summary = nullptr;
    QTableWidget* m_columns = nullptr;
    std::vector<QComboBox*> m_targets;
    QComboBox* m_decimalMark = nullptr;
    QLabel* m_markNote = nullptr;
    QTableWidget* m_preview = nullptr;
    QPlainTextEdit* m_remarks = nullptr;
    QPushButton* m_import = nullptr;
};
