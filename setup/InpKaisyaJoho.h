#pragma once
// The company-information screen (window caption "会社情報設定"): the master
// record of one company (a row of T_COMP_MAIN).
//
// Two modes, handed over by the opener (CompanyScreenMode):
//   NewCompanies   the main menu's new-company button: each registration adds
//                  a company (at the end of the main menu's list, not made
//                  current) and clears the screen for the next; closing
//                  returns to the main menu.
//   CurrentCompany the current company gstrCID is edited (the settings menu,
//                  or the main menu's company switch for a preset company
//                  whose period is not set up); closing brings WK_COMPANY, the
//                  fiscal label and the period tables up to date and returns
//                  to the settings menu.
//
// The period rules and the input check are in ledger/companyrules.h, the
// reading and writing of the company row in ledger/companystore.h.

#include <QHash>

#include "platform/form.h"
#include "ledger/companystore.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class ImDate;
class ImNumber;
class ImText;
}  // namespace platform

enum class CompanyScreenMode { NewCompanies, CurrentCompany };

class InpKaisyaJoho : public platform::Form {
    Q_OBJECT
public:
    explicit InpKaisyaJoho(CompanyScreenMode mode = CompanyScreenMode::CurrentCompany,
                           QWidget* parent = nullptr);
    ~InpKaisyaJoho() override;

    // True while the screen registers new companies (decided at load).
    bool isNewMode() const { return mNewMode; }
    // The caption drawn beside a box.
    QString captionOf(const QWidget* box) const;

    // Controls.
    QLabel* Label1;
    QLabel* Label2;
    platform::ImText* txtKaisyaName;
    platform::ImText* txtKaisyaFurigana;
    platform::ImText* txtYubin;
    platform::ImText* txtTodohuken;
    platform::ImText* txtJyusho1;
    platform::ImText* txtJyusho2;
    platform::ImText* txtTel;
    platform::ImText* txtFax;
    platform::ImText* txtDaihyoYakusyoku;
    platform::ImText* txtDaihyoName;
    platform::ImText* txtDaihyoFurigana;
    platform::ImText* txtKaikeiNendo;
    QLabel* Label5;  // "期"
    platform::ImDate* txtSeturituNen;
    platform::ImNumber* txtShihonkin;
    QLabel* Label4;  // "千円"
    platform::ImDate* txtKisyubi;
    platform::ImDate* txtKimatubi;
    QGroupBox* FrameKbn;  // 個人 / 法人
    QRadioButton* optKojin;
    QRadioButton* optHojin;
    QGroupBox* Frame4;
    QRadioButton* optTujo;
    QRadioButton* optKichu;
    QGroupBox* Frame8;  // "為替レート入力"
    QRadioButton* optRateOff;
    QRadioButton* optRateOn;
    platform::ImNumber* txtRate;
    QPushButton* cmdQuestion1;
    QPushButton* cmdTouroku;
    QPushButton* cmdCancel;
    QPushButton* cmdDelete;
    QPushButton* cmdBack;

public slots:
    void cmdTouroku_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdBack_Click();
    void cmdQuestion1_Click();
    void optHojin_Click();
    void optKojin_Click();
    void optTujo_Click();
    void optKichu_Click();
    void optRateOn_Click();
    void optRateOff_Click();
    void txtKisyubi_LostFocus();
    void txtSeturituNen_LostFocus();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    void buildControls();
    void connectHandlers();
    QLabel* captionFor(QWidget* box, const QString& caption);
    void setCaption(QWidget* box, const QString& caption);
    void enableSaveButtons();
    void setSaveButtonsEnabled(bool enabled);

    bool set_data_to_form();
    void clear_new_form();
    void lock_when_full();
    bool lock_period();
    bool update_data();
    CompanyRecord record_from_form(const QString& cid) const;
    void unload_form();

    void focusBox(QWidget* box);
    void returnToSettingsMenuCaption(const QString& companyName);

    QHash<const QWidget*, QLabel*> mCaptions;
    QButtonGroup* mKbnGroup = nullptr;
    QButtonGroup* mPeriodGroup = nullptr;
    QButtonGroup* mRateGroup = nullptr;
    bool mNewMode = true;
    CompanyScreenMode mMode;  // as the opener handed it over
    bool mFocusBackWhenShown = false;
    bool mDuplicate = false;  // another company screen was already open
};
