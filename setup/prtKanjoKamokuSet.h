#pragma once
// The chart-of-accounts screen (caption " 勘定科目台帳入力"): the current
// company's posting accounts class by class, chosen with three cascading
// lists of large, middle and small classes (ledger/chartofaccounts.h reads
// them). From the grid's active row the user opens the account editor
// ("科目修正(E)", E, a double-click) or retires the account ("科目削除(L)", L,
// after a question); "一覧表印刷(P)" prints the chart-of-accounts list.
//
// A retire that fails leaves the row as it is stored; an editor that saved
// writes what it stored back into the row it was opened from.

#include <QString>

#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;
struct ChartCascade;
struct ChartRowValues;

namespace platform {
class SpreadGrid;
}

class prtKanjoKamokuSet : public platform::Form {
    Q_OBJECT
public:
    explicit prtKanjoKamokuSet(QWidget* parent = nullptr);
    ~prtKanjoKamokuSet() override;

    // Grid columns.
    enum Column { colKmcode = 1, colKanname = 2, colSide = 3, colKocode = 4, colJun = 5, colHojoset = 6 };

    QLabel* Label1 = nullptr;
    QComboBox* cmbDaiBunrui = nullptr;
    QComboBox* cmbChuBunrui = nullptr;
    QComboBox* cmbSyoBunrui = nullptr;
    platform::SpreadGrid* spdSS = nullptr;
    QPushButton* cmdSyusei = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdBack = nullptr;

    // The codes of the chosen classes, "0" while none.
    QString currentDai() const { return mDai; }
    QString currentChu() const { return mChu; }
    QString currentSyo() const { return mSyo; }

public slots:
    void cmbDaiBunrui_Click(int index);
    void cmbChuBunrui_Click(int index);
    void cmbSyoBunrui_Click(int index);
    void cmdSyusei_Click();
    void cmdDelete_Click();
    void cmdInsatu_Click();
    void cmdBack_Click();

protected:
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the cascade for the wanted codes and shows it; false after the
    // engine's message, with the loaded flag cleared.
    bool showCascade(const QString& dai, const QString& chu, const QString& syo);
    // The active row, row 1 while the user has not moved.
    int activeRow() const;
    ChartRowValues rowValues(int row) const;
    void setGridRow(int row, const ChartRowValues& values);

    QString mDai = QStringLiteral("0");
    QString mChu = QStringLiteral("0");
    QString mSyo = QStringLiteral("0");
};
