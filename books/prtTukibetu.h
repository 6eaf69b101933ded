#pragma once
// The monthly income and expense table screen (caption "月別収支内訳書"),
// offered to sole proprietors: the user chooses a range of months of the
// fiscal year in two lists and previews (表示(R)) or prints (印刷(P)) the table
// (report R_TUKISYUSI); もどる(X) closes the screen and the menu that opened it
// is visible again.
//
// The lists hold the fiscal year's months up to the closing month. An unchosen
// start is the first month, an unchosen end the last one, shown as chosen from
// then on; a start after the end is refused with
// "対象年月の指定が間違っています。" CR LF "もう一度選択しなおしてください。". The load
// names the screen in gstrCallForm; a load that cannot read the months shows
// "日付入力用マスタのアクセス中にエラーが発生した(Form_Load)。" and the screen
// closes itself on activation.

#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;

class prtTukibetu : public platform::Form {
    Q_OBJECT
public:
    explicit prtTukibetu(QWidget* parent = nullptr);
    ~prtTukibetu() override;

    static QString helpText();

    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* cmbTaisyoNenTuki1 = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* cmbTaisyoNenTuki2 = nullptr;
    QPushButton* cmdHyouji = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;

public slots:
    void cmdHyouji_Click();
    void cmdInsatu_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();

protected:
    void Form_Load() override;

private:
    bool input_check();
    void print_data(int mode);
};
