#pragma once
// The description screen (caption "摘要入力"): registers, corrects and deletes
// the current company's descriptions in their editing copy and writes the copy
// back when it closes (ledger/patternbook.h). "表 示" previews and "印 刷"
// prints the list R_TEKIYO from the editing copy.

#include "ledger/patternbook.h"
#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class ImText;
}

class InpTekiyouTouroku : public platform::Form {
    Q_OBJECT
public:
    explicit InpTekiyouTouroku(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QRadioButton* optTouroku = nullptr;
    QRadioButton* optTeisei = nullptr;
    QRadioButton* optDelete = nullptr;
    platform::ImText* txtTekiyou = nullptr;
    QComboBox* cmbTekiyou = nullptr;
    QPushButton* cmdHyouji = nullptr;
    QPushButton* cmdTouroku = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdBack = nullptr;
    QLabel* lblReadMe1 = nullptr;
    QLabel* lblReadMe2 = nullptr;

    EditMode mode() const;
    const TekiyoList& list() const { return mList; }

public slots:
    void cmdTouroku_Click();
    void cmdHyouji_Click();
    void cmdInsatu_Click();
    void msClearForm();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    void msSetFocus();
    void fillList();
    void chosen(const QString& text, bool picked);

    TekiyoList mList;
};
